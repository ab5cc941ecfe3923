#include "app/Icons.h"

#include <QString>

namespace {

constexpr int kIconSizes[] = {16, 32, 48, 64, 128};

QString IconResource(int size)
{
    return QStringLiteral(":/icons/vantor-%1.png").arg(size);
}

}  // namespace

// vantor_app is a static library: nothing else refers to the compiled resource, so the
// linker would leave it out of the program, and the icon with it, unless this call made
// the reference.
static void RegisterResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(vantor);
        return true;
    }();
    static_cast<void>(registered);
}

QIcon LoadGameIcon()
{
    RegisterResources();
    QIcon icon;
    for (const int size : kIconSizes) icon.addFile(IconResource(size), QSize(size, size));
    return icon;
}

QPixmap LoadGameIconPixmap()
{
    RegisterResources();
    return QPixmap(IconResource(32));
}
