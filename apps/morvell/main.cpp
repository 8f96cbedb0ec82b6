// Placeholder until the start-up lands.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Morvell");
    w.show();
    return app.exec();
}
