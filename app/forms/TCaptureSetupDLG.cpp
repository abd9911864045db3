#include "forms/TCaptureSetupDLG.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "forms/FormSupport.h"

namespace encoderdesk {

TCaptureSetupDLG::TCaptureSetupDLG(QWidget* parent) : QDialog(parent)
{
    setObjectName("CaptureSetupDLG");
    setWindowTitle("Параметры видеозахвата");
    setProperty(kHelpTopicProperty, "capture-setup");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(510, 475);
    CreateControls();
    NameForAccessibility(this);
}

QGroupBox* TCaptureSetupDLG::CreateRadioGroup(const char* name, const QString& title, const QStringList& items,
                                              QButtonGroup** group)
{
    auto* box = new QGroupBox(title);
    box->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    *group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i]);
        button->setObjectName(QString("%1_%2").arg(name).arg(i));
        (*group)->addButton(button, i);
        layout->addWidget(button);
    }
    return box;
}

void TCaptureSetupDLG::CreateControls()
{
    auto* page = new QWidget;
    auto* pages = new QTabWidget;
    pages->setObjectName("PageControl1");
    pages->addTab(page, "Параметры видеозахвата");

    QGroupBox* mode = CreateRadioGroup("rgVideoMode", " Профиль ",
                                       {"Video CD (VCD)", "Super Video CD (SVCD)", "DVD", "Настройки пользователя"},
                                       &rgVideoMode_);
    QGroupBox* standard = CreateRadioGroup("rgVideoStandart", " Стандарт видеосигнала ", {"PAL", "NTSC"},
                                           &rgVideoStandart_);
    QGroupBox* mpeg = CreateRadioGroup("rgMPEG", " Формат", {"MPEG 1", "MPEG 2"}, &rgMPEG_);

    rgFrameSizeBox_ = new QGroupBox(" Формат кадра ");
    rgFrameSizeBox_->setObjectName("rgFrameSize");
    frameSizeLayout_ = new QGridLayout(rgFrameSizeBox_);
    rgFrameSize_ = new QButtonGroup(rgFrameSizeBox_);

    auto* gbBitrate = new QGroupBox(" Параметры видеопотока (Bitrate)  ");
    gbBitrate->setObjectName("gbBitrate");
    auto* bitrateLayout = new QGridLayout(gbBitrate);
    auto makeBar = [&](const char* barName, const char* spinName, QSlider** bar, QSpinBox** spin) {
        *bar = new QSlider(Qt::Horizontal);
        (*bar)->setObjectName(barName);
        (*bar)->setTickPosition(QSlider::TicksBelow);
        *spin = new QSpinBox;
        (*spin)->setObjectName(spinName);
    };
    makeBar("tbBitrate", "seBitrate", &tbBitrate_, &seBitrate_);
    makeBar("tbPeakBitrate", "sePeakBitrate", &tbPeakBitrate_, &sePeakBitrate_);
    auto* label1 = new QLabel("Видеопоток (Bitrate)");
    label1->setObjectName("Label1");
    label1->setBuddy(tbBitrate_);
    auto* label2 = new QLabel("Максимальный видеопоток (Peak Bitrate)");
    label2->setObjectName("Label2");
    label2->setBuddy(tbPeakBitrate_);
    cbUseVBR_ = new QCheckBox("VBR (использование переменного Bitrate, недоступно для MPEG1)");
    cbUseVBR_->setObjectName("cbUseVBR");
    bitrateLayout->addWidget(label1, 0, 0, 1, 2);
    bitrateLayout->addWidget(tbBitrate_, 1, 0);
    bitrateLayout->addWidget(seBitrate_, 1, 1);
    bitrateLayout->addWidget(label2, 2, 0, 1, 2);
    bitrateLayout->addWidget(tbPeakBitrate_, 3, 0);
    bitrateLayout->addWidget(sePeakBitrate_, 3, 1);
    bitrateLayout->addWidget(cbUseVBR_, 4, 0, 1, 2);
    bitrateLayout->setColumnStretch(0, 1);

    gbVideoParams_ = new QGroupBox(" Параметры видеозахвата ");
    gbVideoParams_->setObjectName("gbVideoParams");
    auto* params = new QGridLayout(gbVideoParams_);
    params->addWidget(mpeg, 0, 0);
    params->addWidget(rgFrameSizeBox_, 0, 1);
    params->addWidget(gbBitrate, 1, 0, 1, 2);
    params->setColumnStretch(1, 1);

    auto* pageLayout = new QGridLayout(page);
    pageLayout->addWidget(mode, 0, 0);
    pageLayout->addWidget(standard, 0, 1);
    pageLayout->addWidget(gbVideoParams_, 1, 0, 1, 2);

    cbUSB11Mode_ = new QCheckBox("Учет подключения к USB 1.1");
    cbUSB11Mode_->setObjectName("cbUSB11Mode");
    QHBoxLayout* bottom = OkCancelRow(this, cbUSB11Mode_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(bottom);

    // Clicks are the user's only (a check set from code emits no click); the
    // value signals also fire for values set from code, which the model ignores
    // while ShowView holds it busy.
    auto refresh = [this](auto handler) {
        return [this, handler](auto value) {
            (model_.*handler)(value);
            ShowView();
        };
    };
    connect(rgVideoMode_, &QButtonGroup::idClicked, this, refresh(&CaptureSetupModel::VideoModeClicked));
    connect(rgVideoStandart_, &QButtonGroup::idClicked, this, refresh(&CaptureSetupModel::VideoStandardClicked));
    connect(rgMPEG_, &QButtonGroup::idClicked, this, refresh(&CaptureSetupModel::MpegClicked));
    connect(rgFrameSize_, &QButtonGroup::idClicked, this, refresh(&CaptureSetupModel::FrameSizeClicked));
    connect(cbUseVBR_, &QCheckBox::clicked, this, refresh(&CaptureSetupModel::VbrClicked));
    connect(cbUSB11Mode_, &QCheckBox::clicked, this, refresh(&CaptureSetupModel::Usb11Clicked));
    auto unlessBusy = [this](auto handler) {
        return [this, handler](int value) {
            if (model_.Busy()) return;
            (model_.*handler)(value);
            ShowView();
        };
    };
    connect(tbBitrate_, &QSlider::valueChanged, this, unlessBusy(&CaptureSetupModel::BitrateTrackChanged));
    connect(tbPeakBitrate_, &QSlider::valueChanged, this, unlessBusy(&CaptureSetupModel::PeakTrackChanged));
    connect(seBitrate_, &QSpinBox::valueChanged, this, unlessBusy(&CaptureSetupModel::BitrateSpinChanged));
    connect(sePeakBitrate_, &QSpinBox::valueChanged, this, unlessBusy(&CaptureSetupModel::PeakSpinChanged));
}

void TCaptureSetupDLG::SetBoard(const std::array<std::uint32_t, 2>& resolutions,
                                const std::array<BitrateCaps, 2>& caps)
{
    model_.SetBoard(resolutions, caps);
}

bool TCaptureSetupDLG::EditProfile(CaptureProfile& profile)
{
    model_.Begin(profile);
    ShowView();
    return model_.Finish(exec() == QDialog::Accepted, profile);
}

void TCaptureSetupDLG::RebuildFrameSizes()
{
    const auto& v = model_.GetView();
    std::vector<std::int32_t> codes;
    for (const auto& item : v.frameSizes) codes.push_back(item.code);
    if (codes == shownSizes_ && shownStandard_ == v.videoStandard) return;
    for (QAbstractButton* b : rgFrameSize_->buttons()) {
        rgFrameSize_->removeButton(b);
        delete b;
    }
    // Two columns, filled row by row.
    for (std::size_t i = 0; i < v.frameSizes.size(); ++i) {
        auto* button = new QRadioButton(QString::fromStdString(v.frameSizes[i].text));
        button->setObjectName(QString("rgFrameSize_%1").arg(i));
        button->setAccessibleName(button->text());
        rgFrameSize_->addButton(button, static_cast<int>(i));
        frameSizeLayout_->addWidget(button, static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    shownSizes_ = codes;
    shownStandard_ = v.videoStandard;
}

void TCaptureSetupDLG::ShowView()
{
    CaptureSetupModel::BusyScope busy(model_);
    const auto& v = model_.GetView();
    auto check = [](QButtonGroup* group, int id) {
        if (QAbstractButton* b = group->button(id)) b->setChecked(true);
    };
    check(rgVideoMode_, v.videoMode);
    check(rgVideoStandart_, v.videoStandard);
    check(rgMPEG_, v.mpeg);
    RebuildFrameSizes();
    check(rgFrameSize_, v.frameSizeIndex);
    gbVideoParams_->setEnabled(v.paramsEnabled);

    auto showTrack = [](QSlider* bar, QSpinBox* spin, const CaptureSetupModel::Track& t) {
        bar->setRange(t.minimum, std::max(t.minimum, t.maximum));
        bar->setTickInterval(std::max(1, (t.maximum - t.minimum) / 20));
        bar->setValue(t.position);
        bar->setEnabled(t.enabled);
        spin->setRange(t.minimum, std::max(t.minimum, t.maximum));
        spin->setValue(t.position);
        spin->setEnabled(t.enabled);
    };
    showTrack(tbBitrate_, seBitrate_, v.bitrate);
    showTrack(tbPeakBitrate_, sePeakBitrate_, v.peak);
    cbUseVBR_->setChecked(v.vbrChecked);
    cbUseVBR_->setEnabled(v.vbrEnabled);
    cbUSB11Mode_->setChecked(v.usb11);
}

}  // namespace encoderdesk
