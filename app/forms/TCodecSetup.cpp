#include "forms/TCodecSetup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "forms/FormSupport.h"

namespace encoderdesk {
namespace {

// The option boxes' texts, in table order after the seven colour spaces.
const char* const kOptionTexts[] = {
    "Применять деинтерлейсинг (Deinterlacing)",
    "Отображать кадры с ошибками (Show Error Frames)",
    "Использовать кодек только для MPEG2 (MPEG2 Only)",
    "Разрешить оверлей (Force Overlay Mixer)",
};

}  // namespace

TCodecSetup::TCodecSetup(QWidget* parent, std::unique_ptr<OptionStore> store)
    : QDialog(parent), store_(store ? std::move(store) : std::make_unique<RegistryOptionStore>()),
      settings_(std::make_unique<DecoderSettings>(*store_))
{
    setObjectName("CodecSetup");
    setWindowTitle("Настройка кодеков MPEG2");
    setProperty(kHelpTopicProperty, "decoder");
    auto* pages = new QTabWidget;
    pages->setObjectName("PageControl1");
    for (int p = 0; p < 2; ++p) pages->addTab(CreatePage(p), kDecoderPages[static_cast<std::size_t>(p)].caption);

    auto* standard = new QPushButton("Стандартные настройки");
    standard->setObjectName("BitBtn3");
    QHBoxLayout* buttons = OkCancelRow(this, standard);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);
    NameForAccessibility(this);
}

TCodecSetup::~TCodecSetup() = default;

QWidget* TCodecSetup::CreatePage(int p)
{
    const auto page = static_cast<std::size_t>(p);
    // The first page's controls keep the plain names; the second page's carry its caption.
    const QString prefix = p == 0 ? QString("cb") : QString("cb") + kDecoderPages[page].caption;
    auto* widget = new QWidget;
    auto* colours = new QGroupBox(" Способы представления цвета ");
    auto* grid = new QGridLayout(colours);
    for (int i = 0; i < 7; ++i) {
        auto* box = new QCheckBox(kDecoderOptions[static_cast<std::size_t>(i)].name);
        box->setObjectName(prefix + kDecoderOptions[static_cast<std::size_t>(i)].name);
        boxes_[page][static_cast<std::size_t>(i)] = box;
        grid->addWidget(box, i < 4 ? i : i - 4, i < 4 ? 0 : 1);
    }
    auto* caption = new QLabel("Последний использованный способ:");
    auto* last = new QLabel("?");
    last->setObjectName(p == 0 ? QString("lbLastUsedColorSpace")
                               : QString("lb") + kDecoderPages[page].caption + "LastUsedColorSpace");
    QFont bold = last->font();
    bold.setBold(true);
    last->setFont(bold);
    last->setAccessibleName("Последний использованный способ");
    lastUsed_[page] = last;
    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(caption);
    lastRow->addWidget(last);
    lastRow->addStretch();
    grid->addLayout(lastRow, 4, 0, 1, 2);

    auto* layout = new QVBoxLayout(widget);
    layout->addWidget(colours);
    for (int i = 7; i < kDecoderOptionCount; ++i) {
        if (i == kMpeg2OnlyOption && !kDecoderPages[page].hasMpeg2Only) continue;
        auto* box = new QCheckBox(kOptionTexts[i - 7]);
        box->setObjectName(prefix + kDecoderOptions[static_cast<std::size_t>(i)].name);
        boxes_[page][static_cast<std::size_t>(i)] = box;
        layout->addWidget(box);
    }
    layout->addStretch();
    return widget;
}

void TCodecSetup::Fill()
{
    settings_->Fill();
    ShowPages();
}

void TCodecSetup::ShowPages()
{
    for (std::size_t p = 0; p < 2; ++p) {
        for (std::size_t i = 0; i < kDecoderOptions.size(); ++i)
            if (QCheckBox* box = boxes_[p][i]) box->setChecked(settings_->pages[p].checked[i]);
        lastUsed_[p]->setText(QString::fromStdString(settings_->pages[p].lastUsedColorSpace));
    }
}

void TCodecSetup::ReadPages()
{
    for (std::size_t p = 0; p < 2; ++p)
        for (std::size_t i = 0; i < kDecoderOptions.size(); ++i)
            if (QCheckBox* box = boxes_[p][i]) settings_->pages[p].checked[i] = box->isChecked();
}

bool TCodecSetup::EditDecoderSettings()
{
    Fill();
    if (exec() != QDialog::Accepted) return false;
    ReadPages();
    settings_->Write();
    return true;
}

}  // namespace encoderdesk
