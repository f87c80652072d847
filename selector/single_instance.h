#pragma once

// One selector per user session.

#include <QString>
#include <memory>

class QLockFile;

namespace selector {

class SingleInstance {
  public:
    // Takes the lock named `name` in the user's runtime folder. A lock left by a selector that
    // ended without releasing it (a crash) is taken over.
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another instance holds the lock.
    bool isFirst() const { return m_first; }

  private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = false;
};

}  // namespace selector
