#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("对讲机写频软件"));
    QLabel placeholder(QStringLiteral("对讲机写频软件 V1.1.4"));
    placeholder.show();
    return app.exec();
}
