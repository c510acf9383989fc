// Shows a toolbar-like strip with the drive chooser and opens its drop-down,
// for looking at it on a display. "--machine" lists the real mounts instead
// of the sample drives. Quits after ten seconds.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

#include "FakeDriveSource.h"
#include "drives/DriveComboBox.h"

namespace {

std::unique_ptr<IDriveSource> SampleDrives()
{
    using K = TDriveKind;
    std::vector<TFakeDrive> drives = {{"/", K::dkFixed, "Debian", std::nullopt},
                                      {"/boot/efi", K::dkFixed, "", std::nullopt},
                                      {"/home", K::dkFixed, "Home & Data", std::nullopt},
                                      {"/media/ann/USB STICK", K::dkRemovable, "X", std::nullopt},
                                      {"/media/cdrom", K::dkCdRom, "DEBIAN 12", std::nullopt},
                                      {"/mnt/nas", K::dkRemote, std::nullopt, "//NAS/Media"},
                                      {"/mnt/nfs", K::dkRemote, std::nullopt, "server:/export"},
                                      {"/mnt/ram", K::dkRamDisk, std::nullopt, std::nullopt},
                                      {"/srv", K::dkFixed, "Srv", std::nullopt},
                                      {"/tmp", K::dkRamDisk, std::nullopt, std::nullopt}};
    return std::make_unique<TFakeDriveSource>(std::move(drives));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const bool machine = argc > 1 && std::strcmp(argv[1], "--machine") == 0;

    QWidget window;
    window.resize(400, 260);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Base, QColor(0xE5, 0xE5, 0xE5));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);

    auto* combo = machine ? new TDriveComboBox(&window)
                          : new TDriveComboBox(SampleDrives(), "/home/ann", &window);
    combo->setPalette(pal);
    combo->setFont(font);
    combo->setGeometry(0, 4, 145, 19);
    combo->setToolTip(QStringLiteral("Выберите устройство"));
    window.show();
    if (machine)
        for (int i = 0; i < combo->count(); ++i)
            std::printf("%s\n", combo->itemText(i).toUtf8().constData());
    std::fflush(stdout);
    QTimer::singleShot(500, combo, [combo] { combo->showPopup(); });
    QTimer::singleShot(10000, &app, &QApplication::quit);
    return app.exec();
}
