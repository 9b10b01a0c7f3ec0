#pragma once
#include <QComboBox>
#include <QStringList>
#include <functional>

class QPainter;

// A drop-down list of the sixteen basic colours, each drawn as a swatch followed by its
// name, publishing the chosen colour as ColorValue (0x00BBGGRR). The user can only pick
// one of the sixteen; a colour outside them is refused.
//
// The list is rebuilt and ColorValue re-selected (firing OnChange) whenever the box's
// window is created: when it is first shown, and again on each change of ColorNames or
// of its font after that. Before the first showing the list is already filled, so that
// ColorValue can be set, but no window creation has happened yet.
class TColorComboBox : public QComboBox {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *Sender)>;

    static constexpr int kColorCount = 16;
    static quint32 basicColor(int index);          // the colour value of entry index
    static QString defaultColorName(int index);    // its identifier without "cl"
    static QColor toQColor(quint32 bgr);

    explicit TColorComboBox(QWidget *parent = nullptr);
    ~TColorComboBox() override;

    quint32 ColorValue() const { return FColorValue; }
    void setColorValue(quint32 value);

    // Entry i, when present and not empty, replaces the name of colour i.
    const QStringList &ColorNames() const { return FColorNames; }
    void setColorNames(const QStringList &names);

    bool DisplayNames() const { return FDisplayNames; }
    void setDisplayNames(bool display);

    // Height of every item: the font's character cell height + 1, at least 9.
    int ItemHeight() const { return FItemHeight; }

    // The colour stored with item index.
    quint32 itemColor(int index) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

    // Draws one item into rect: background, swatch and (with DisplayNames) the name.
    // Selected items use the highlight colours.
    virtual void DrawItem(QPainter &painter, int index, const QRect &rect, bool selected) const;

protected:
    virtual void Click();
    virtual void Change();
    virtual void PopulateList();

    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createWindow();
    void updateItemHeight();
    void selectStoredValueSilently();

    quint32 FColorValue = 0;
    QStringList FColorNames;
    bool FDisplayNames = true;
    int FItemHeight = 9;
    bool FWindowCreated = false;
};
