#pragma once

// Settings of the connection to the display server, made before the application object exists.
namespace DisplayConnection {
void prepare();
}
