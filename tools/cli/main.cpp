#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::fprintf(stderr, "xiepin-cli: not built yet\n");
    return 1;
}
