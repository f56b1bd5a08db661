#include "host/displayconnection.h"

#include <QByteArray>
#include <QtGlobal>

void DisplayConnection::prepare() {
    // With shared-memory images, every repaint of a window waits for the X server to finish with
    // the previous one: a round trip and two thread wake-ups for each change of the flashing tray
    // icon, all day long. The program's windows are small, so sending their pictures over the
    // socket costs less. The user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
}
