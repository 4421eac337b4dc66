#pragma once
// A Qt binary resource bundle (rcc --binary) read from a file and
// registered under a root. Qt walks a bundle's tree without bounds checks,
// so the whole bundle is checked before it is registered, and it is
// registered from our own copy of the bytes so the file cannot change
// between the check and the use. Compressed bundles are refused: a bad
// entry could claim any size once unpacked, and we build ours uncompressed.
#include <QByteArray>
#include <QDateTime>
#include <QString>

class TResourceBundle {
  public:
    enum Result { Missing, Damaged, Unchanged, Changed };

    explicit TResourceBundle(QString root) : FRoot(std::move(root)) {}
    TResourceBundle(const TResourceBundle&) = delete;
    TResourceBundle& operator=(const TResourceBundle&) = delete;
    ~TResourceBundle() { Release(); }

    const QString& Root() const { return FRoot; }
    // Registers the file's bundle under Root(), replacing what was
    // registered before; Unchanged when the same file (path, size, time)
    // is registered already.
    Result Use(const QString& path);
    void Release();
    bool Registered() const { return FRegistered; }

    // True when the whole tree of an rcc binary bundle (format 1 to 3) lies
    // inside the bytes and no entry is compressed.
    static bool Valid(const QByteArray& bytes);

  private:
    static constexpr qint64 kMaxBytes = 64 << 20;

    QString FRoot;
    QByteArray FData;
    QString FPath;
    qint64 FSize = -1;
    QDateTime FModified;
    bool FRegistered = false;
};
