// The decoder settings dialog: the widgets of DecoderSettings, one page per
// decoder, over the current user's registry.
#pragma once

#include <QDialog>

#include <array>
#include <memory>

#include "core/DecoderSettings.h"

class QCheckBox;
class QLabel;

namespace encoderdesk {

class TCodecSetup : public QDialog {
    Q_OBJECT
public:
    // `store` null: the current user's registry.
    explicit TCodecSetup(QWidget* parent = nullptr, std::unique_ptr<OptionStore> store = nullptr);
    ~TCodecSetup() override;

    // Fills both pages from the registry, shows the dialog modally, and on OK
    // writes both pages back; true for OK.
    bool EditDecoderSettings();

    // The pages as the controls show them; for the window's own tests.
    void Fill();
    DecoderSettings& Settings() { return *settings_; }

private:
    QWidget* CreatePage(int page);
    void ShowPages();
    void ReadPages();

    std::unique_ptr<OptionStore> store_;
    std::unique_ptr<DecoderSettings> settings_;
    std::array<std::array<QCheckBox*, kDecoderOptionCount>, 2> boxes_{};
    std::array<QLabel*, 2> lastUsed_{};
};

}  // namespace encoderdesk
