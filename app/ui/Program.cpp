#include "ui/Program.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

#include <quvo/QuvoSDK.h>

#include "forms/TAboutDLG.h"
#include "forms/TCaptureSetupDLG.h"
#include "forms/TCodecSetup.h"
#include "forms/TSetupDLG.h"
#include "ui/TMain.h"

namespace encoderdesk {

void LoadRussianTranslations(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (translator->load("qtbase_ru", folder)) QCoreApplication::installTranslator(translator);
}

int RunEncoderDesk(QApplication& app)
{
    uint32_t status = 0;
    if (QuvoInitialize(&status) != QUVO_SUCCESS) {
        QMessageBox::critical(nullptr, "Утилита управления видеоплатами Tavrin",
                              "Ошибка при инициализации устройства. Убедитесь в том, что оно включено и для него "
                              "установлены все драйвера (см. install.txt)");
        return 1;
    }
    TMain main;
    TCaptureSetupDLG captureSetup(&main);
    TAboutDLG about(&main);
    TSetupDLG setup(&main);
    TCodecSetup codecSetup(&main);
    setup.SetProfileDirectory(main.ProfileDirectory);
    main.SetForms({&captureSetup, &about, &setup, &codecSetup});
    main.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, main.size(),
                                         main.screen()->availableGeometry()));
    main.show();
    return app.exec();
}

}  // namespace encoderdesk
