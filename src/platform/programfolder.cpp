#include "programfolder.h"

#include <QCoreApplication>

namespace {

QString& overriddenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString programFolder()
{
    const QString& folder = overriddenFolder();
    return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void setProgramFolder(const QString& path)
{
    overriddenFolder() = path;
}

QString programFile(const QString& name)
{
    return programFolder() + u'/' + name;
}
