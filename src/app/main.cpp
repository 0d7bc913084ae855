#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication aplicacion(argc, argv);
    return 0;
}
