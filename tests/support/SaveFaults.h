#pragma once

#include <QString>
#include <QStringList>

// Faults a save meets on the disk: a read-only folder, a full file system,
// the program killed while it writes.
//
// A test that mounts runs in a mount namespace of its own, so that a
// read-only folder stops even root (CI runs as root) and no mount is ever
// seen outside the test.

// Must run while the process has a single thread: first thing in main().
// False when this machine lets the test mount nothing of its own.
bool enterOwnMountNamespace();

// A small file system of its own at `folder`, for as long as the object
// lives.
class SmallFileSystem {
  public:
    SmallFileSystem(const QString& folder, const QByteArray& size);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool mounted() const { return mounted_; }
    bool makeReadOnly();

  private:
    QString folder_;
    bool mounted_ = false;
};

// How a child process that saves ended.
enum class ChildSave {
    Killed,   // caught writing and killed
    Finished, // done before it was caught, and saved
    Failed,   // never started, or said its save failed
};

// Runs this test program again with `arguments`, its temporary files in
// `tempFolder`, and kills it the moment it has a file in `folder` open for
// writing: the file its save writes, whatever its name.
ChildSave killWhileWriting(const QStringList& arguments, const QString& folder,
                           const QString& tempFolder);
