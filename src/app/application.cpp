#include "app/application.h"

#include <QApplication>

int runPripomin(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
