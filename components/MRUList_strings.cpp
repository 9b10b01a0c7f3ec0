// TRecentStrings: the bounded, most-recently-used name list of the recent-files manager.
#include "components/MRUList.h"

#include "platform/exceptions.h"

#include <algorithm>

Qt::CaseSensitivity fileNameCaseSensitivity()
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

TRecentStrings::TRecentStrings() = default;

// Runs body inside an update bracket that is closed on every path, so that a failure
// still releases the change report.
template <typename Body>
void TRecentStrings::withinUpdate(Body &&body)
{
    BeginUpdate();
    try {
        body();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TRecentStrings::checkIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

void TRecentStrings::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange();
}

void TRecentStrings::BeginUpdate()
{
    ++FUpdateCount;
}

void TRecentStrings::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

QString TRecentStrings::Strings(int Index) const
{
    checkIndex(Index);
    return FEntries[size_t(Index)].name;
}

qint32 TRecentStrings::UserData(int Index) const
{
    checkIndex(Index);
    return FEntries[size_t(Index)].userData;
}

void TRecentStrings::SetUserData(int Index, qint32 Value)
{
    checkIndex(Index);
    FEntries[size_t(Index)].userData = Value;
    Changed();
}

void TRecentStrings::SetMaxSize(int Value)
{
    if (Value == FMaxSize)
        return;
    FMaxSize = std::max(1, Value);
    DeleteExceed();
}

int TRecentStrings::IndexOf(const QString &Name) const
{
    for (int i = 0; i < Count(); ++i) {
        if (FEntries[size_t(i)].name.compare(Name, FNameCase) == 0)
            return i;
    }
    return -1;
}

int TRecentStrings::Add(const QString &Name)
{
    const int found = IndexOf(Name);
    if (found >= 0) {
        Move(found, FMode == rmInsert ? 0 : Count() - 1);
    } else {
        withinUpdate([&] {
            if (FMode == rmInsert)
                Insert(0, Name);
            else
                Insert(Count(), Name);
            DeleteExceed();
        });
    }
    return FMode == rmInsert ? 0 : Count() - 1;
}

void TRecentStrings::addEntries(std::vector<Entry> source)
{
    withinUpdate([&] {
        const int taken = std::min(int(source.size()), FMaxSize);
        const auto addOne = [&](int i) {
            const int index = Add(source[size_t(i)].name);
            SetUserData(index, source[size_t(i)].userData);
        };
        if (FMode == rmInsert) {
            for (int i = taken - 1; i >= 0; --i)
                addOne(i);
        } else {
            for (int i = 0; i < taken; ++i)
                addOne(i);
        }
        DeleteExceed();
    });
}

void TRecentStrings::AddStrings(const TRecentStrings &Source)
{
    addEntries(Source.FEntries);  // copied, so that adding a list to itself is safe
}

void TRecentStrings::AddStrings(const QStringList &Source)
{
    std::vector<Entry> entries;
    for (const QString &name : Source)
        entries.push_back({name, 0});
    addEntries(entries);
}

void TRecentStrings::Assign(const TRecentStrings &Source)
{
    const std::vector<Entry> entries = Source.FEntries;
    withinUpdate([&] {
        Clear();
        addEntries(entries);
    });
}

void TRecentStrings::Assign(const QStringList &Source)
{
    withinUpdate([&] {
        Clear();
        AddStrings(Source);
    });
}

void TRecentStrings::Insert(int Index, const QString &Name, qint32 UserData)
{
    if (Index < 0 || Index > Count())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(Index));
    FEntries.insert(FEntries.begin() + Index, Entry{Name, UserData});
    Changed();
}

void TRecentStrings::Delete(int Index)
{
    checkIndex(Index);
    FEntries.erase(FEntries.begin() + Index);
    Changed();
}

void TRecentStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    checkIndex(CurIndex);
    checkIndex(NewIndex);
    withinUpdate([&] {
        const Entry moved = FEntries[size_t(CurIndex)];
        Delete(CurIndex);
        Insert(NewIndex, moved.name, moved.userData);
    });
}

void TRecentStrings::Remove(const QString &Name)
{
    const int index = IndexOf(Name);
    if (index >= 0)
        Delete(index);
}

void TRecentStrings::Clear()
{
    if (FEntries.empty())
        return;
    FEntries.clear();
    Changed();
}

void TRecentStrings::DeleteExceed()
{
    withinUpdate([&] {
        if (FMode == rmAppend) {
            while (Count() > FMaxSize)
                Delete(0);
        } else {
            for (int i = Count() - 1; i >= FMaxSize; --i)
                Delete(i);
        }
    });
}
