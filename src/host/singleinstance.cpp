#include "host/singleinstance.h"

#include <QLocalServer>

// Minimal stand-in: every start is the primary until the single-instance guard lands.
SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}
SingleInstance::~SingleInstance() = default;
bool SingleInstance::becomePrimary() { return true; }
