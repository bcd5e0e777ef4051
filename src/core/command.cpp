#include "command.h"

namespace {
Command *g_instance = nullptr;
}

Command::Command(QObject *parent) : QObject(parent) {}

Command::~Command()
{
    if (g_instance == this)
        g_instance = nullptr;
}

Command &Command::instance()
{
    if (!g_instance)
        g_instance = new Command; // lives for the whole run
    return *g_instance;
}

void Command::setInstance(Command *command) { g_instance = command; }
