#include "app/AppResources.h"

#include <QFile>
#include <QPixmap>

namespace {

// Every cursor picture is 32 x 32 with its hot spot in the middle.
constexpr int kCursorHotSpot = 16;

} // namespace

// The resources live in the application's library; the linker keeps them only when asked.
static void InitResourcesOnce()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(spmviewer);
        return true;
    }();
    (void)done;
}

void InitAppResources()
{
    InitResourcesOnce();
}

QIcon AppIcon()
{
    return QIcon(":/icons/app.svg");
}

QIcon CommandIcon(int id)
{
    const QString path = QStringLiteral(":/icons/cmd%1.svg").arg(id);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QCursor AppCursor(int id)
{
    const QPixmap picture(QStringLiteral(":/cursors/cursor%1.svg").arg(id));
    if (picture.isNull())
        return QCursor(Qt::CrossCursor);
    return QCursor(picture, kCursorHotSpot, kCursorHotSpot);
}
