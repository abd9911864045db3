#include "forms/TSetupDLG.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "forms/FormSupport.h"

namespace encoderdesk {

TSetupDLG::TSetupDLG(QWidget* parent) : QDialog(parent)
{
    setObjectName("SetupDLG");
    setWindowTitle("Настройка");
    setProperty(kHelpTopicProperty, "startup-profile");
    auto* group = new QGroupBox(" Формат видео  при загрузке программы ");
    auto* groupLayout = new QVBoxLayout(group);
    const char* names[] = {"rbVCD", "rbSVCD", "rbDVD", "rbCustom"};
    const char* texts[] = {"VCD", "SVCD", "DVD", "Профиль пользователя"};
    for (int i = 0; i < 4; ++i) {
        buttons_[i] = new QRadioButton(texts[i]);
        buttons_[i]->setObjectName(names[i]);
        groupLayout->addWidget(buttons_[i]);
    }
    buttons_[0]->setChecked(true);
    edFileName_ = new QLineEdit;
    edFileName_->setObjectName("edFileName");
    edFileName_->setAccessibleName("Файл профиля пользователя");
    edFileName_->setMinimumWidth(360);
    auto* browse = new QToolButton;
    browse->setObjectName("edFileNameButton");
    browse->setText("...");
    browse->setAccessibleName("Выбрать файл профиля");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(edFileName_);
    fileRow->addWidget(browse);
    groupLayout->addLayout(fileRow);

    chooseFile = [](QWidget* parent, const QString& directory) {
        return QFileDialog::getOpenFileName(parent, "Загрузка параметров", directory,
                                            "Параметры видеозахвата (*.vcp *.VCP)");
    };
    connect(browse, &QToolButton::clicked, this, [this] {
        const QString name = chooseFile(this, profileDirectory_);
        if (!name.isEmpty()) edFileName_->setText(name);
    });

    QHBoxLayout* buttons = OkCancelRow(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    NameForAccessibility(this);
}

void TSetupDLG::ShowModel()
{
    buttons_[model_.checked]->setChecked(true);
    edFileName_->setText(QString::fromStdString(model_.fileName));
}

void TSetupDLG::ReadControls()
{
    for (int i = 0; i < 4; ++i)
        if (buttons_[i]->isChecked()) model_.checked = i;
    model_.fileName = edFileName_->text().toStdString();
}

bool TSetupDLG::EditStartupProfile(StartupKeys& keys)
{
    // The form keeps its state from its last use; a stored choice overrides it.
    ReadControls();
    model_.Load(keys);
    ShowModel();
    if (exec() != QDialog::Accepted) return false;
    ReadControls();
    model_.Save(keys);
    return true;
}

}  // namespace encoderdesk
