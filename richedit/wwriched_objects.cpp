#include "richedit/wwriched.h"

#include "engine/codec/objects/objectfactory.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/urlopener.h"
#include "richedit/wwobjectverbfiles.h"
#include "richedit/wwricholecallback.h"

#include <QDir>
#include <QFileInfo>

// Embedded objects: registering the callback, Insert Object, and the verbs of the
// selected object.

namespace {

// The object types a new object can be made of, in the order the dialog lists them.
const QStringList &newObjectTypes()
{
    static const QStringList types{QStringLiteral("Picture")};
    return types;
}

// Repaints the editor when leaving, also by an exception.
class RepaintOnExit {
public:
    explicit RepaintOnExit(QWidget *widget) : m_widget(widget) {}
    ~RepaintOnExit() { m_widget->update(); }
    RepaintOnExit(const RepaintOnExit &) = delete;
    RepaintOnExit &operator=(const RepaintOnExit &) = delete;

private:
    QWidget *m_widget;
};

engine::objects::DocumentObject newObject(int type, bool asIcon)
{
    Q_UNUSED(type);  // the picture is the one type offered
    engine::objects::DocumentObject made = engine::objects::blankPictureObject();
    if (asIcon) {
        engine::objects::EmbeddedObject object = *engine::objects::objectOf(made.format);
        object.asIcon = true;
        made = engine::objects::documentObject(object);
    }
    return made;
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace

void TwwCustomRichEdit::SetOleOptions(TwwRichEditOleOptions options)
{
    if (m_oleOptions == options)
        return;
    m_oleOptions = options;
    RegisterOleCallback();
}

// What window creation does for objects: unless they are switched off, the engine's
// object interface is taken and the callback registered with it.
void TwwCustomRichEdit::RegisterOleCallback()
{
    if (!m_oleCallback)
        m_oleCallback = std::make_unique<TRichEditOleCallback>(this);
    if (!m_verbFiles)
        m_verbFiles = std::make_unique<TwwObjectVerbFiles>(this);
    m_selectedObject.reset();
    m_verbs.clear();
    if (m_oleOptions.testFlag(reoDisableOLE)) {
        m_oleInterface = nullptr;
        setOleCallback(nullptr);
        return;
    }
    m_oleInterface = oleInterface();
    if (!m_oleInterface)
        throw Exception(QStringLiteral("Unable to get interface"));
    if (!setOleCallback(m_oleCallback.get()))
        throw Exception(QStringLiteral("Unable to set callback"));
}

// The object goes straight in at the start of the selection; the clipboard is not used,
// so whatever the user copied stays there.
bool TwwCustomRichEdit::InsertObject()
{
    RepaintOnExit repaint(viewport());
    if (!m_oleInterface)
        throw Exception(QStringLiteral("Embedded objects are switched off in this editor."));
    const std::optional<platform::InsertObjectChoice> choice =
        platform::dialogs().insertObject(window(), platform::InsertObjectRequest{newObjectTypes()});
    if (!choice)
        return false;
    engine::objects::DocumentObject made;
    if (choice->createNew) {
        made = newObject(choice->objectType, choice->displayAsIcon);
    } else {
        engine::objects::FileObjectResult fromFile =
            engine::objects::objectFromFile(choice->fileName, choice->link, choice->displayAsIcon);
        if (!fromFile.object)
            throw Exception(fromFile.error);
        made = std::move(*fromFile.object);
    }
    BeforeModify();
    SetSelLength(0);
    if (!m_oleInterface->insertObject(made))
        throw Exception(QStringLiteral("The object could not be inserted."));
    setFocus();
    return true;
}

void TwwCustomRichEdit::ReadSelectedObjectVerbs()
{
    m_verbs = m_selectedObject ? m_selectedObject->object.verbs() : QList<engine::objects::ObjectVerb>();
    m_verbsRead = true;
}

void TwwCustomRichEdit::DoVerb(int index)
{
    if (!m_oleInterface || !m_selectedObject)
        return;
    int number = 0;
    if (index > 0) {
        if (!m_verbsRead)
            ReadSelectedObjectVerbs();
        if (index >= m_verbs.size())
            throw Exception(QStringLiteral("Invalid Verb"));
        number = m_verbs[index].number;
    }
    RunObjectVerb(*m_selectedObject, number);
}

// Every verb of this layer opens the object's data with the desktop's application for
// it: a linked object its file, an embedded one a private copy whose changes come back.
void TwwCustomRichEdit::RunObjectVerb(const engine::SelectedObject &selected, int verbNumber)
{
    const engine::objects::EmbeddedObject &object = selected.object;
    const QList<engine::objects::ObjectVerb> verbs = object.verbs();
    const bool known = std::any_of(verbs.cbegin(), verbs.cend(),
                                   [verbNumber](const auto &verb) { return verb.number == verbNumber; });
    if (!known)
        throw Exception(QStringLiteral("The %1 object cannot be opened by this program.").arg(object.userTypeName()));
    QString path = object.linkPath;
    if (object.linked) {
        if (!QFileInfo(path).isFile())
            throw Exception(QStringLiteral("The linked file %1 cannot be found.").arg(shownPath(path)));
    } else {
        path = m_verbFiles->WriteFile(selected.position, object);
    }
    if (!platform::openUrl(QUrl::fromLocalFile(path)))
        throw Exception(QStringLiteral("No application is available to open %1.").arg(shownPath(path)));
}
