#include "selector/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace selector {

SingleInstance::SingleInstance(const QString& name) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(name + QStringLiteral(".lock")));
    // Only a lock whose process is gone is stale; by default a lock older than 30 s would be
    // taken from a selector that is still running.
    m_lock->setStaleLockTime(0);
    m_first = m_lock->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

}  // namespace selector
