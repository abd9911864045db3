#include "forms/TAboutDLG.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "forms/Artwork.h"
#include "forms/FormSupport.h"

namespace encoderdesk {

TAboutDLG::TAboutDLG(QWidget* parent) : QDialog(parent)
{
    setObjectName("AboutDLG");
    setWindowTitle("О программе");
    setProperty(kHelpTopicProperty, "about");
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    auto* image = new QLabel;
    image->setObjectName("Image1");
    image->setPixmap(BoardPicture());
    image->setFixedSize(150, 141);
    image->setAccessibleName("Рисунок платы кодера");

    auto* title = new QLabel("Утилита управления аппартными MPEG кодерами фирмы Tavrin KR-B и KS-C");
    title->setObjectName("Label2");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setWordWrap(true);
    title->setAlignment(Qt::AlignCenter);
    auto* authors = new QLabel("Разработка: группа программистов Tavrin, 2003");
    authors->setObjectName("Label1");
    authors->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel("версия 1.2 от 17.07.2003");
    version->setObjectName("Label3");
    version->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton("OK");
    ok->setObjectName("BitBtn1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(image, 0, 0, 4, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(title, 0, 1);
    layout->addWidget(authors, 1, 1);
    layout->addWidget(version, 2, 1);
    layout->addWidget(ok, 3, 1, Qt::AlignCenter);
    layout->setColumnMinimumWidth(1, 230);
    NameForAccessibility(this);
}

}  // namespace encoderdesk
