#include "richedit/wwriched.h"

#include "platform/application.h"
#include "richedit/Wwintl.h"

#include <QAction>
#include <QMenu>

// The built-in context menu: 19 items made once, shown, enabled and checked afresh at
// every pop-up, and the items of the selected object with its verbs.

namespace {

enum PopupItemNumber {
    itemEdit = 1, itemSep2, itemCut, itemCopy, itemPaste, itemSep6, itemBold, itemItalic,
    itemUnderline, itemSep10, itemFont, itemBullet, itemParagraph, itemTabs, itemSep15,
    itemFind, itemReplace, itemSep18, itemInsertObject,
};

// The options a read-only editor keeps: edit, cut, copy, paste and find.
constexpr quint16 kReadOnlyMask = 0xC80F;

// Items shown by their own option bit.
constexpr struct {
    int item;
    TwwRichEditPopupOption option;
} kOptionItems[] = {
    {itemEdit, rpoPopupEdit},       {itemCut, rpoPopupCut},         {itemCopy, rpoPopupCopy},
    {itemPaste, rpoPopupPaste},     {itemBold, rpoPopupBold},       {itemItalic, rpoPopupItalic},
    {itemUnderline, rpoPopupUnderline}, {itemFont, rpoPopupFont},   {itemBullet, rpoPopupBullet},
    {itemParagraph, rpoPopupParagraph}, {itemTabs, rpoPopupTabs},   {itemFind, rpoPopupFind},
    {itemReplace, rpoPopupReplace},
};

bool any(quint16 options, quint16 mask)
{
    return (options & mask) != 0;
}

void deleteMenuItem(QAction *item)
{
    if (QMenu *submenu = item->menu())
        delete submenu;
    else
        delete item;
}

}  // namespace

QAction *TwwCustomRichEdit::PopupItem(int number) const
{
    return number >= 1 && number <= int(m_popupItems.size()) ? m_popupItems[size_t(number - 1)] : nullptr;
}

void TwwCustomRichEdit::BuildPopupMenu()
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu"));
    const auto add = [&](int number, const char *name, auto handler) {
        QAction *item = menu->addAction(QString());
        item->setObjectName(QLatin1String(name));
        QObject::connect(item, &QAction::triggered, this, [handler] { platform::runGuarded(handler); });
        m_popupItems[size_t(number - 1)] = item;
        return item;
    };
    const auto separator = [&](int number, const char *name) {
        QAction *item = menu->addSeparator();
        item->setObjectName(QLatin1String(name));
        m_popupItems[size_t(number - 1)] = item;
    };
    add(itemEdit, "PopupEdit", [this] { ExecuteEditorWindow(); });
    separator(itemSep2, "PopupSep2");
    add(itemCut, "PopupCut", [this] { CutToClipboard(); });
    add(itemCopy, "PopupCopy", [this] { CopyToClipboard(); });
    add(itemPaste, "PopupPaste", [this] { PasteFromClipboard(); });
    separator(itemSep6, "PopupSep6");
    add(itemBold, "PopupBold", [this] { TogglePopupStyle(itemBold, fsBold); })->setCheckable(true);
    add(itemItalic, "PopupItalic", [this] { TogglePopupStyle(itemItalic, fsItalic); })->setCheckable(true);
    add(itemUnderline, "PopupUnderline", [this] { TogglePopupStyle(itemUnderline, fsUnderline); })->setCheckable(true);
    separator(itemSep10, "PopupSep10");
    add(itemFont, "PopupFont", [this] { ExecuteFontDialog(); });
    add(itemBullet, "PopupBullet", [this] {
        // The item's check mark has already been inverted by the click.
        SetBullets(PopupItem(itemBullet)->isChecked());
    })->setCheckable(true);
    add(itemParagraph, "PopupParagraph", [this] { ExecuteParagraphDialog(); });
    add(itemTabs, "PopupTabs", [this] { ExecuteTabDialog(); });
    separator(itemSep15, "PopupSep15");
    add(itemFind, "PopupFind", [this] { ExecuteFindDialog(); });
    add(itemReplace, "PopupReplace", [this] { ExecuteReplaceDialog(); });
    separator(itemSep18, "PopupSep18");
    add(itemInsertObject, "PopupInsertObject", [this] { InsertObject(); });
    PopupItem(itemInsertObject)->setText(RichEditTexts().PopupMenuLabels.InsertObjectCaption);
    RefreshPopupCaptions();
    connect(menu, &QMenu::aboutToShow, this, &TwwCustomRichEdit::ContextMenuPopup);
    if (!m_popupMenu)
        m_popupMenu = menu;
}

// Every caption but that of Insert Object, which keeps the one it got when it was made.
void TwwCustomRichEdit::RefreshPopupCaptions()
{
    const TwwRichEditPopupMenuLabels &labels = RichEditTexts().PopupMenuLabels;
    const std::pair<int, const QString *> captions[] = {
        {itemEdit, &labels.EditCaption},     {itemCut, &labels.CutCaption},
        {itemCopy, &labels.CopyCaption},     {itemPaste, &labels.PasteCaption},
        {itemBold, &labels.BoldCaption},     {itemItalic, &labels.ItalicCaption},
        {itemUnderline, &labels.UnderlineCaption}, {itemFont, &labels.FontCaption},
        {itemBullet, &labels.BulletStyleCaption},  {itemParagraph, &labels.ParagraphCaption},
        {itemTabs, &labels.TabsCaption},     {itemFind, &labels.FindCaption},
        {itemReplace, &labels.ReplaceCaption},
    };
    for (const auto &[item, caption] : captions)
        PopupItem(item)->setText(*caption);
}

void TwwCustomRichEdit::ContextMenuPopup()
{
    const bool readOnly = ReadOnly();
    quint16 options = quint16(m_popupOptions.toInt());
    if (readOnly)
        options &= kReadOnlyMask;
    const TwwRichEditPopupMenuLabels &labels = RichEditTexts().PopupMenuLabels;
    PopupItem(itemEdit)->setText(readOnly ? labels.ViewCaption : labels.EditCaption);

    for (const auto &[item, option] : kOptionItems)
        PopupItem(item)->setVisible(any(options, option));
    const bool insertObject = any(options, rpoPopupInsertObject) && !m_oleOptions.testFlag(reoDisableOLE);
    PopupItem(itemSep2)->setVisible(PopupItem(itemEdit)->isVisible() && any(options, 0x3FFE));
    PopupItem(itemSep6)->setVisible(any(options, 0x000E) && any(options, 0x3FF0));
    PopupItem(itemSep10)->setVisible(any(options, 0x0070) && any(options, 0x3F80));
    PopupItem(itemSep15)->setVisible(any(options, 0x0780) && (insertObject || any(options, 0x1800)));
    PopupItem(itemSep18)->setVisible(insertObject && any(options, 0x1800));
    PopupItem(itemInsertObject)->setVisible(insertObject);

    PopupItem(itemCut)->setEnabled(HasSelection() && !readOnly);
    PopupItem(itemCopy)->setEnabled(HasSelection());
    PopupItem(itemPaste)->setEnabled(CanPaste() && !readOnly);

    const TFontStyles style = SelectionAttributes().Style();
    PopupItem(itemBullet)->setChecked(ParagraphAttributes().Numbering() != nsNone);
    PopupItem(itemBold)->setChecked(style.testFlag(fsBold));
    PopupItem(itemItalic)->setChecked(style.testFlag(fsItalic));
    PopupItem(itemUnderline)->setChecked(style.testFlag(fsUnderline));
}

// The click has already inverted the item's check mark: it was checked before when it
// is not now, and then the style goes.
void TwwCustomRichEdit::TogglePopupStyle(int item, TFontStyle style)
{
    BeforeModify();
    const bool wasChecked = !PopupItem(item)->isChecked();
    TFontStyles styles = SelectionAttributes().Style();
    styles.setFlag(style, !wasChecked);
    SelectionAttributes().SetStyle(styles);
}

// The selected object's items: a separator and "<type> &Object" with a sub-item per
// verb, the primary verb shown bold; for a read-only editor the item is disabled.
void TwwCustomRichEdit::AdjustPopupMenu(QMenu *menu)
{
    for (QAction *item : std::as_const(m_addedObjectItems))
        deleteMenuItem(item);
    m_addedObjectItems.clear();
    m_selectedObject = m_oleInterface->selectedObject();
    m_verbs.clear();
    m_verbsRead = false;
    if (!m_selectedObject)
        return;
    QAction *separator = menu->addSeparator();
    separator->setObjectName(QStringLiteral("PopupObjectSeparator"));
    m_addedObjectItems.append(separator);
    const QString caption = m_selectedObject->object.userTypeName() + QStringLiteral(" &Object");
    if (!ReadOnly())
        ReadSelectedObjectVerbs();
    if (ReadOnly() || m_verbs.isEmpty()) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QStringLiteral("PopupObject"));
        item->setEnabled(!ReadOnly());
        m_addedObjectItems.append(item);
        return;
    }
    QMenu *verbs = menu->addMenu(caption);
    verbs->menuAction()->setObjectName(QStringLiteral("PopupObject"));
    m_addedObjectItems.append(verbs->menuAction());
    for (int index = 0; index < m_verbs.size(); ++index) {
        QAction *verb = verbs->addAction(m_verbs[index].name);
        verb->setData(index);
        connect(verb, &QAction::triggered, this, [this, index] { platform::runGuarded([this, index] { DoVerb(index); }); });
        if (m_verbs[index].number == 0) {
            QFont bold = verb->font();
            bold.setBold(true);
            verb->setFont(bold);
            verbs->setDefaultAction(verb);
        }
    }
}
