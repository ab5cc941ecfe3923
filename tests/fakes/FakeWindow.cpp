#include "tests/fakes/FakeWindow.h"

intptr_t CFakeWindow::SendMessage(uint32_t message)
{
    messages.push_back(message);
    if (onMessage) onMessage(message);
    return 0;
}

void CFakeWindow::MessageBox(const char* text, const char* caption)
{
    messageBoxes.push_back(std::string(caption) + ": " + text);
}
