#include "Workspace.h"

#include <QFile>

namespace calidra {

void Workspace::moveFileToTrashWithPath(const QString& path)
{
    QFile::moveToTrash(path);
}

} // namespace calidra
