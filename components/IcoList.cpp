#include "components/IcoList.h"

#include <QFile>

#include <algorithm>

TIconList::~TIconList()
{
    for (std::unique_ptr<TIcon> &icon : FList)
        icon = unhooked(std::move(icon));
}

void TIconList::Changed()
{
    if (FUpdateCount == 0 && OnChange)
        OnChange(this);
}

void TIconList::BeginUpdate()
{
    ++FUpdateCount;
}

void TIconList::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

void TIconList::checkIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

// An icon in the list reports its own changes as changes of the list.
std::unique_ptr<TIcon> TIconList::hooked(std::unique_ptr<TIcon> icon)
{
    if (icon)
        icon->OnChange = [this](TIcon *) { Changed(); };
    return icon;
}

std::unique_ptr<TIcon> TIconList::unhooked(std::unique_ptr<TIcon> icon)
{
    if (icon)
        icon->OnChange = nullptr;
    return icon;
}

std::unique_ptr<TIcon> TIconList::copyOf(const TIcon *Icon)
{
    auto copy = std::make_unique<TIcon>();
    copy->Assign(Icon);
    return copy;
}

std::unique_ptr<TIcon> TIconList::fromResource(const QString &ResName)
{
    QFile file(ResName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInvalidGraphic(QStringLiteral("Icon resource %1 not found").arg(ResName));
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromData(file.readAll());
    return icon;
}

void TIconList::insertEntry(int Index, std::unique_ptr<TIcon> icon)
{
    if (Index < 0 || Index > Count())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(Index));
    FList.insert(FList.begin() + Index, hooked(std::move(icon)));
    Changed();
}

TIcon *TIconList::Items(int Index) const
{
    checkIndex(Index);
    return FList[size_t(Index)].get();
}

void TIconList::SetItems(int Index, const TIcon *Icon)
{
    if (Index != Count())
        checkIndex(Index);
    const UpdateScope scope(*this);
    if (Index == Count())
        insertEntry(Index, nullptr);
    std::unique_ptr<TIcon> &entry = FList[size_t(Index)];
    if (!entry)
        entry = hooked(std::make_unique<TIcon>());
    entry->Assign(Icon);  // reports through the hook
}

int TIconList::Add(const TIcon *Icon)
{
    const int index = Count();
    insertEntry(index, copyOf(Icon));
    return index;
}

int TIconList::AddResource(const QString &ResName)
{
    const int index = Count();
    insertEntry(index, fromResource(ResName));
    return index;
}

void TIconList::Insert(int Index, const TIcon *Icon)
{
    insertEntry(Index, copyOf(Icon));
}

void TIconList::InsertResource(int Index, const QString &ResName)
{
    insertEntry(Index, fromResource(ResName));
}

void TIconList::Delete(int Index)
{
    checkIndex(Index);
    std::unique_ptr<TIcon> icon = unhooked(std::move(FList[size_t(Index)]));
    FList.erase(FList.begin() + Index);
    icon.reset();
    Changed();
}

void TIconList::Clear()
{
    const UpdateScope scope(*this);
    for (int i = Count() - 1; i >= 0; --i)
        Delete(i);
}

void TIconList::Exchange(int Index1, int Index2)
{
    checkIndex(Index1);
    checkIndex(Index2);
    std::swap(FList[size_t(Index1)], FList[size_t(Index2)]);
    Changed();
}

void TIconList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    checkIndex(CurIndex);
    checkIndex(NewIndex);
    std::unique_ptr<TIcon> icon = std::move(FList[size_t(CurIndex)]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(icon));
    Changed();
}

int TIconList::IndexOf(const TIcon *Icon) const
{
    const auto found = std::find_if(FList.begin(), FList.end(),
                                    [Icon](const std::unique_ptr<TIcon> &entry) { return entry.get() == Icon; });
    return found == FList.end() ? -1 : int(found - FList.begin());
}

void TIconList::Assign(const TPersistent *Source)
{
    if (Source == this)
        return;
    const auto *list = dynamic_cast<const TIconList *>(Source);
    const auto *icon = dynamic_cast<const TIcon *>(Source);
    if (Source && !list && !icon)
        throwAssignError(*Source, *this);
    const UpdateScope scope(*this);
    Clear();
    if (list) {
        for (const std::unique_ptr<TIcon> &entry : list->FList)
            Add(entry.get());
    } else if (icon) {
        Add(icon);
    }
}
