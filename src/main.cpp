#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, "JX_Monitor", "The main window is not built yet.");
    return 0;
}
