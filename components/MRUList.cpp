// TMRUManager: the recent-files list shown under a host submenu and kept in the settings.
#include "components/MRUList.h"

#include "platform/application.h"

#include <QAction>
#include <QMenu>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

// The character a single-byte code of the Windows-1252 code page stands for. Codes the
// code page leaves undefined keep their value, as the platform's own conversion does.
QChar ansiChar(unsigned char code)
{
    if (code < 0x80)
        return QChar(code);
#ifdef Q_OS_WIN
    const char byte = char(code);
    wchar_t wide = 0;
    if (MultiByteToWideChar(1252, 0, &byte, 1, &wide, 1) == 1)
        return QChar(char16_t(wide));
#else
    iconv_t converter = iconv_open("UTF-16LE", "WINDOWS-1252");
    if (converter != iconv_t(-1)) {
        char in[1] = {char(code)};
        char out[4] = {};
        char *inPtr = in;
        char *outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        const size_t converted = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv_close(converter);
        if (converted != size_t(-1) && outLeft == 2)
            return QChar(char16_t(quint8(out[0]) | (quint8(out[1]) << 8)));
    }
#endif
    return QChar(code);
}

// Caption before the first "|", hint after it; a name without a bar is both.
QString captionPart(const QString &text)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.left(bar);
}

QString hintPart(const QString &text)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    return bar < 0 ? text : text.mid(bar + 1);
}

}  // namespace

TMRUManager::TMRUManager(QObject *Owner)
    : QObject(Owner)
{
    FList.OnChange = [this] { ListChanged(); };
}

TMRUManager::~TMRUManager()
{
    ClearRecentMenu();
    FList.OnChange = nullptr;
}

// ---- Properties -------------------------------------------------------------------

void TMRUManager::SetAccelDelimiter(TAccelDelimiter Value)
{
    if (Value == FAccelDelimiter)
        return;
    FAccelDelimiter = Value;
    if (FAutoUpdate && FShowAccelChar)
        UpdateRecentMenu();
}

void TMRUManager::SetAutoEnable(bool Value)
{
    if (Value == FAutoEnable)
        return;
    FAutoEnable = Value;
    if (FAutoEnable && FRecentMenu)
        UpdateHostEnabled();
}

void TMRUManager::SetCapacity(int Value)
{
    if (Value == Capacity())
        return;
    FList.SetMaxSize(Value);
}

void TMRUManager::SetSeparateSize(quint16 Value)
{
    if (Value == FSeparateSize)
        return;
    FSeparateSize = Value;
    if (FAutoUpdate)
        UpdateRecentMenu();
}

void TMRUManager::SetShowAccelChar(bool Value)
{
    if (Value == FShowAccelChar)
        return;
    FShowAccelChar = Value;
    if (FAutoUpdate)
        UpdateRecentMenu();
}

void TMRUManager::SetStartAccel(quint32 Value)
{
    if (Value == FStartAccel)
        return;
    FStartAccel = Value;
    if (FAutoUpdate)
        UpdateRecentMenu();
}

void TMRUManager::SetRecentMenu(QMenu *Value)
{
    ClearRecentMenu();
    if (FHostWatch)
        disconnect(FHostWatch);
    FRecentMenu = Value;
    if (FRecentMenu)
        FHostWatch = connect(FRecentMenu, &QObject::destroyed, this, &TMRUManager::HostDestroyed);
    UpdateRecentMenu();
}

// The host's children, our items among them, are destroyed right after this signal, and
// the half-destroyed menu must not be asked anything: forget the items and the host.
void TMRUManager::HostDestroyed()
{
    FItems.clear();
    FRecentMenu = nullptr;
    FHostWatch = {};
    UpdateRecentMenu();
}

// ---- List operations ----------------------------------------------------------------

void TMRUManager::Add(const QString &RecentName, int UserData)
{
    const int index = FList.Add(RecentName);
    FList.SetUserData(index, UserData);
}

void TMRUManager::Remove(const QString &RecentName)
{
    FList.Remove(RecentName);
}

void TMRUManager::ListChanged()
{
    Change();
    if (FAutoUpdate)
        UpdateRecentMenu();
}

// ---- Events -------------------------------------------------------------------------

void TMRUManager::Change()
{
    if (OnChange)
        OnChange(this);
}

void TMRUManager::ReadItem(TRegIniFile &IniFile, const QString &Section, int Index, QString &RecentName,
                           int &UserData)
{
    if (OnReadItem) {
        OnReadItem(this, IniFile, Section, Index, RecentName, UserData);
        return;
    }
    RecentName = IniFile.ReadString(Section, QStringLiteral("Item_%1").arg(Index), QString());
}

void TMRUManager::WriteItem(TRegIniFile &IniFile, const QString &Section, int Index, const QString &RecentName,
                            int UserData)
{
    if (OnWriteItem) {
        OnWriteItem(this, IniFile, Section, Index, RecentName, UserData);
        return;
    }
    IniFile.WriteString(Section, QStringLiteral("Item_%1").arg(Index), RecentName);
}

void TMRUManager::GetItemData(QString &Caption, QKeySequence &ShortCut, int UserData)
{
    if (OnGetItemData)
        OnGetItemData(this, Caption, ShortCut, UserData);
}

void TMRUManager::Click(const QString &RecentName, const QString &Caption, int UserData)
{
    if (OnClick)
        OnClick(this, RecentName, Caption, UserData);
}

// ---- Menu ---------------------------------------------------------------------------

void TMRUManager::UpdateHostEnabled()
{
    FRecentMenu->menuAction()->setEnabled(!FRecentMenu->actions().isEmpty());
}

void TMRUManager::ClearRecentMenu()
{
    for (qsizetype i = FItems.size() - 1; i >= 0; --i) {
        QAction *item = FItems[i];
        if (item && FRecentMenu && FRecentMenu->actions().contains(item))
            delete item;
    }
    FItems.clear();
    if (FRecentMenu && FAutoEnable)
        UpdateHostEnabled();
}

// Prefix for the entry at Index: "&1" to "&9", then "&A" and the characters after "Z"
// in the code page up to number 100; beyond that a bare space.
QString TMRUManager::AccelPrefix(int Index) const
{
    const qint64 n = qint64(Index) + qint64(FStartAccel);
    if (n <= 9)
        return QLatin1Char('&') + QString::number(n);
    if (n <= 100)
        return QLatin1Char('&') + QString(ansiChar((unsigned char)(55 + n)));
    return QStringLiteral(" ");
}

QAction *TMRUManager::AddSeparatorItem()
{
    auto *item = new QAction(FRecentMenu);
    item->setText(QStringLiteral("-"));
    item->setSeparator(true);
    FRecentMenu->addAction(item);
    FItems.append(item);
    return item;
}

QAction *TMRUManager::AddRecentItem(int Index)
{
    QString text = FList.Strings(Index);
    QKeySequence shortCut;
    GetItemData(text, shortCut, FList.UserData(Index));

    QString caption = captionPart(text);
    if (FShowAccelChar) {
        const QChar delimiter = FAccelDelimiter == adTab ? QLatin1Char('\t') : QLatin1Char(' ');
        caption = AccelPrefix(Index) + delimiter + caption;
    }
    auto *item = new QAction(FRecentMenu);
    item->setText(caption);
    item->setStatusTip(hintPart(text));
    item->setShortcut(shortCut);
    item->setEnabled(true);
    item->setCheckable(false);
    item->setData(Index);
    connect(item, &QAction::triggered, this,
            [this, item] { platform::runGuarded([&] { MenuItemClick(item); }); });
    FRecentMenu->addAction(item);
    FItems.append(item);
    return item;
}

void TMRUManager::UpdateRecentMenu()
{
    ClearRecentMenu();
    if (!FRecentMenu)
        return;
    if (FList.Count() > 0 && !FRecentMenu->actions().isEmpty())
        AddSeparatorItem();
    for (int i = 0; i < FList.Count(); ++i) {
        if (FSeparateSize > 0 && i > 0 && i % FSeparateSize == 0)
            AddSeparatorItem();
        AddRecentItem(i);
    }
    if (FAutoEnable)
        UpdateHostEnabled();
}

void TMRUManager::MenuItemClick(QObject *Sender)
{
    auto *item = qobject_cast<QAction *>(Sender);
    if (!item)
        return;
    bool isNumber = false;
    const int tag = item->data().toInt(&isNumber);
    if (!isNumber || tag < 0 || tag >= FList.Count())
        return;
    // Read everything before the handler runs: it may rebuild the menu and destroy item.
    const QString caption = item->text();
    const auto removeChosen = [&] {
        // The handler may have shortened the list; an index past its end names nothing.
        if (FRemoveOnSelect && tag < FList.Count())
            Remove(FList.Strings(tag));
    };
    try {
        Click(FList.Strings(tag), caption, FList.UserData(tag));
    } catch (...) {
        removeChosen();
        throw;
    }
    removeChosen();
}

// ---- Settings -----------------------------------------------------------------------

void TMRUManager::LoadFromRegistry(TRegIniFile &IniFile, const QString &Section)
{
    const TRecentMode savedMode = Mode();
    FList.BeginUpdate();
    try {
        FList.Clear();
        FList.SetMode(rmInsert);
        for (int index = Capacity() - 1; index >= 0; --index) {
            QString recentName;
            int userData = 0;
            ReadItem(IniFile, Section, index, recentName, userData);
            if (!recentName.isEmpty())
                Add(recentName, userData);
        }
    } catch (...) {
        FList.SetMode(savedMode);
        FList.EndUpdate();
        throw;
    }
    FList.SetMode(savedMode);
    FList.EndUpdate();
}

void TMRUManager::SaveToRegistry(TRegIniFile &IniFile, const QString &Section)
{
    IniFile.EraseSection(Section);
    for (int index = 0; index < FList.Count(); ++index)
        WriteItem(IniFile, Section, index, FList.Strings(index), FList.UserData(index));
}
