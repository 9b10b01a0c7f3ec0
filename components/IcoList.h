#pragma once
#include "platform/icon.h"
#include "platform/persistent.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

// An ordered list of owned icons, where an entry may be absent (it reads as nullptr).
// Every change reports through OnChange at once, unless an update bracket is open;
// closing the outermost bracket reports once. An icon in the list that changes reports
// a change of the list too.
//
// Indexes out of range throw Exception "List index out of bounds (<index>)".
//
// Stored form: the binary property "Icons" (ReadData, WriteData), written only when the
// list has entries: a 32-bit little-endian count, then per entry a 32-bit little-endian
// size S and S bytes of the icon in icon-file format (S = 0, nothing more, for an absent
// or empty icon). Reading refuses a stream that ends early or announces more than it
// holds with EReadError "Stream read error", and an entry that is not an icon with
// EInvalidGraphic "Icon image is not valid"; the list then holds the entries read before.
class TIconList : public TPersistent {
public:
    using TNotifyEvent = std::function<void(TIconList *Sender)>;

    TIconList() = default;
    ~TIconList() override;
    TIconList(const TIconList &) = delete;
    TIconList &operator=(const TIconList &) = delete;

    QString ClassName() const override { return QStringLiteral("TIconList"); }

    int Count() const { return int(FList.size()); }
    TIcon *Items(int Index) const;
    // Copies Icon into the entry (nullptr empties it); Index = Count appends an entry.
    void SetItems(int Index, const TIcon *Icon);

    int Add(const TIcon *Icon);
    // Appends the icon of an icon file among the program's resources (a ":/..." path);
    // throws EInvalidGraphic "Icon resource <name> not found" when there is none.
    int AddResource(const QString &ResName);
    void Insert(int Index, const TIcon *Icon);
    void InsertResource(int Index, const QString &ResName);
    void Delete(int Index);
    void Clear();
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    int IndexOf(const TIcon *Icon) const;

    // nullptr clears; another TIconList's icons are copied; one TIcon becomes the only
    // entry; anything else is refused.
    void Assign(const TPersistent *Source);

    void BeginUpdate();
    void EndUpdate();

    // The "Icons" property.
    bool HasData() const { return Count() > 0; }
    void ReadData(QIODevice &Stream);
    void WriteData(QIODevice &Stream) const;

    TNotifyEvent OnChange;

private:
    // Holds change reports for its lifetime, also when an error leaves it.
    class UpdateScope {
    public:
        explicit UpdateScope(TIconList &list) : FList(list) { FList.BeginUpdate(); }
        ~UpdateScope() { FList.EndUpdate(); }

    private:
        TIconList &FList;
    };

    void Changed();
    void checkIndex(int Index) const;
    std::unique_ptr<TIcon> hooked(std::unique_ptr<TIcon> icon);
    static std::unique_ptr<TIcon> unhooked(std::unique_ptr<TIcon> icon);
    static std::unique_ptr<TIcon> copyOf(const TIcon *Icon);
    static std::unique_ptr<TIcon> fromResource(const QString &ResName);
    void insertEntry(int Index, std::unique_ptr<TIcon> icon);

    std::vector<std::unique_ptr<TIcon>> FList;
    int FUpdateCount = 0;
};

// A stream that ended before all of a stored value was read.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
