#pragma once
#include "platform/reginifile.h"

#include <QKeySequence>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QAction;
class QMenu;

enum TRecentMode { rmInsert, rmAppend };
enum TAccelDelimiter { adTab, adSpace };

// How the platform's file system compares file names: exactly on Linux, without regard
// to case on Windows and macOS. Two names that differ only in case are two different
// files on Linux and must stay two entries.
Qt::CaseSensitivity fileNameCaseSensitivity();

// A most-recently-used list of names, each with one 32-bit user-data value. Names are
// compared whole under NameCase (the file system's rule unless set otherwise); Add never
// lets two equal names into the list. Every change reports through OnChange at once,
// unless an update bracket is open; closing the outermost bracket reports once.
class TRecentStrings {
public:
    TRecentStrings();

    int Count() const { return int(FEntries.size()); }
    QString Strings(int Index) const;
    qint32 UserData(int Index) const;
    void SetUserData(int Index, qint32 Value);  // reports a change even when the value is the same

    int MaxSize() const { return FMaxSize; }
    void SetMaxSize(int Value);  // at least 1; trims inside a bracket
    TRecentMode Mode() const { return FMode; }
    void SetMode(TRecentMode Value) { FMode = Value; }
    Qt::CaseSensitivity NameCase() const { return FNameCase; }
    void SetNameCase(Qt::CaseSensitivity Value) { FNameCase = Value; }

    int IndexOf(const QString &Name) const;
    // Adds a new name at the top (rmInsert) or bottom (rmAppend) and trims, or moves an
    // equal name there keeping its stored spelling. Returns the entry's index.
    int Add(const QString &Name);
    // Adds the first MaxSize entries of Source so that they keep their order, with their
    // user data, inside one bracket.
    void AddStrings(const TRecentStrings &Source);
    void AddStrings(const QStringList &Source);
    void Assign(const TRecentStrings &Source);
    void Assign(const QStringList &Source);

    void Insert(int Index, const QString &Name, qint32 UserData = 0);
    void Delete(int Index);
    void Move(int CurIndex, int NewIndex);
    void Remove(const QString &Name);  // nothing happens when no entry compares equal
    void Clear();
    void DeleteExceed();  // drops the oldest entries beyond MaxSize

    void BeginUpdate();
    void EndUpdate();

    std::function<void()> OnChange;

private:
    struct Entry {
        QString name;
        qint32 userData = 0;
    };
    void Changed();
    void checkIndex(int Index) const;
    void addEntries(std::vector<Entry> source);
    template <typename Body>
    void withinUpdate(Body &&body);

    std::vector<Entry> FEntries;
    int FMaxSize = 10;
    TRecentMode FMode = rmInsert;
    Qt::CaseSensitivity FNameCase = fileNameCaseSensitivity();
    int FUpdateCount = 0;
};

// Keeps a bounded list of recently used names (file paths), shows it as items of a host
// submenu, stores it in a section of a TRegIniFile as "Item_0" (newest) upwards, and
// reports the user's choice through OnClick.
//
// The host is the "Recent" submenu: the manager appends one QAction per entry to it,
// captioned "&1<tab>name", "&2<tab>name", ..., and keeps the submenu's own item enabled
// exactly when it has items (AutoEnable). The items are children of the host; the host
// itself is never destroyed by the manager, and the manager lets go of a host that is
// destroyed.
class TMRUManager : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TClickMenuEvent =
        std::function<void(QObject *Sender, const QString &RecentName, const QString &Caption, int UserData)>;
    using TGetItemEvent = std::function<void(QObject *Sender, QString &Caption, QKeySequence &ShortCut, int UserData)>;
    using TReadItemEvent = std::function<void(QObject *Sender, TRegIniFile &IniFile, const QString &Section, int Index,
                                              QString &RecentName, int &UserData)>;
    using TWriteItemEvent = std::function<void(QObject *Sender, TRegIniFile &IniFile, const QString &Section, int Index,
                                               const QString &RecentName, int UserData)>;

    explicit TMRUManager(QObject *Owner = nullptr);
    ~TMRUManager() override;

    TAccelDelimiter AccelDelimiter() const { return FAccelDelimiter; }
    void SetAccelDelimiter(TAccelDelimiter Value);
    bool AutoEnable() const { return FAutoEnable; }
    void SetAutoEnable(bool Value);
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
    int Capacity() const { return FList.MaxSize(); }
    void SetCapacity(int Value);
    TRecentMode Mode() const { return FList.Mode(); }
    void SetMode(TRecentMode Value) { FList.SetMode(Value); }
    bool RemoveOnSelect() const { return FRemoveOnSelect; }
    void SetRemoveOnSelect(bool Value) { FRemoveOnSelect = Value; }
    quint16 SeparateSize() const { return FSeparateSize; }
    void SetSeparateSize(quint16 Value);
    QMenu *RecentMenu() const { return FRecentMenu; }
    void SetRecentMenu(QMenu *Value);  // also for the same host: rebuilds under it
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    quint32 StartAccel() const { return FStartAccel; }
    void SetStartAccel(quint32 Value);
    // The rule names are compared by; the file system's rule by default.
    Qt::CaseSensitivity NameCase() const { return FList.NameCase(); }
    void SetNameCase(Qt::CaseSensitivity Value) { FList.SetNameCase(Value); }

    TRecentStrings &Strings() { return FList; }
    const TRecentStrings &Strings() const { return FList; }

    // Adds or promotes the name; the entry then carries UserData.
    void Add(const QString &RecentName, int UserData);
    void Remove(const QString &RecentName);
    void UpdateRecentMenu();
    // Reads "Item_<Capacity-1>" down to "Item_0"; errors of the settings object propagate,
    // with Mode restored and one change reported.
    void LoadFromRegistry(TRegIniFile &IniFile, const QString &Section);
    // Erases the section, then writes one value per entry.
    void SaveToRegistry(TRegIniFile &IniFile, const QString &Section);

    TNotifyEvent OnChange;
    TClickMenuEvent OnClick;
    TGetItemEvent OnGetItemData;
    TReadItemEvent OnReadItem;
    TWriteItemEvent OnWriteItem;

protected:
    virtual void Change();
    virtual void ReadItem(TRegIniFile &IniFile, const QString &Section, int Index, QString &RecentName, int &UserData);
    virtual void WriteItem(TRegIniFile &IniFile, const QString &Section, int Index, const QString &RecentName,
                           int UserData);
    virtual void GetItemData(QString &Caption, QKeySequence &ShortCut, int UserData);
    virtual void Click(const QString &RecentName, const QString &Caption, int UserData);
    // The handler of every recent item: reports the entry named by the item's tag.
    void MenuItemClick(QObject *Sender);

private:
    void ListChanged();
    void ClearRecentMenu();
    void UpdateHostEnabled();
    void HostDestroyed();
    QAction *AddSeparatorItem();
    QAction *AddRecentItem(int Index);
    QString AccelPrefix(int Index) const;

    TRecentStrings FList;
    QList<QPointer<QAction>> FItems;  // items this manager created, oldest first
    QMenu *FRecentMenu = nullptr;
    QMetaObject::Connection FHostWatch;
    TAccelDelimiter FAccelDelimiter = adTab;
    bool FAutoEnable = true;
    bool FAutoUpdate = true;
    bool FRemoveOnSelect = false;
    quint16 FSeparateSize = 0;
    bool FShowAccelChar = true;
    quint32 FStartAccel = 1;
};
