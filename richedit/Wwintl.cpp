#include "richedit/Wwintl.h"

TwwIntl *GlobalIntl = nullptr;

TwwIntl::TwwIntl(QObject *owner) : QObject(owner) {}

TwwIntl::~TwwIntl()
{
    if (GlobalIntl == this)
        GlobalIntl = nullptr;
}

void TwwIntl::SetConnected(bool connected)
{
    if (m_connected == connected)
        return;
    m_connected = connected;
    if (connected)
        CopyToGlobal();
}

void TwwIntl::SetCheckBoxInGridStyle(TwwCheckBoxInGridStyle style)
{
    m_checkBoxInGridStyle = style;
    if (m_connected && GlobalIntl && GlobalIntl != this)
        GlobalIntl->SetCheckBoxInGridStyle(style);
}

void TwwIntl::Loaded()
{
    if (m_connected)
        CopyToGlobal();
}

void TwwIntl::CopyToGlobal() const
{
    TwwIntl *target = GlobalIntl;
    if (!target || target == this)
        return;
    target->FilterDialog = FilterDialog;
    target->RichEdit = RichEdit;
    target->MonthCalendar = MonthCalendar;
    target->SearchDialog = SearchDialog;
    target->LocateDialog = LocateDialog;
    target->Navigator = Navigator;
    target->UserMessages = UserMessages;
    target->BtnOKCaption = BtnOKCaption;
    target->BtnCancelCaption = BtnCancelCaption;
    target->OKCancelBitmapped = OKCancelBitmapped;
    target->DialogFontStyle = DialogFontStyle;
    target->UseLocateMethodForSearch = UseLocateMethodForSearch;
    target->DefaultEpochYear = DefaultEpochYear;
    target->FilterMemoSize = FilterMemoSize;
    target->InternalSetting = InternalSetting;
    target->SetCheckBoxInGridStyle(m_checkBoxInGridStyle);
}

TwwIntl *CreateGlobalIntl(QObject &owner)
{
    if (!GlobalIntl)
        GlobalIntl = new TwwIntl(&owner);
    return GlobalIntl;
}

const TwwDBRichEditIntl &RichEditTexts()
{
    static const TwwDBRichEditIntl defaults;
    return GlobalIntl ? GlobalIntl->RichEdit : defaults;
}

const TwwUserMessagesIntl &UserMessageTexts()
{
    static const TwwUserMessagesIntl defaults;
    return GlobalIntl ? GlobalIntl->UserMessages : defaults;
}
