#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("NRV508"));
    window.setWindowTitle(QStringLiteral("NRV508 Window Program ver 2.42"));
    window.show();
    return app.exec();
}
