#include "app/WPAbout.h"

#include "app/programicon.h"
#include "components/RXCtrls.h"
#include "platform/memorystatus.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace {

constexpr int kDesignDpi = 120;
constexpr int kPictureSize = 60;
const QString kCopyright = QStringLiteral("Copyright \u00A9 2026 Penhaven. All rights reserved.");

}  // namespace

TAboutBox::TAboutBox(QWidget *AOwner)
    : QDialog(AOwner)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Wordprocessor"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(Scaled(13));
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Scaled(331), Scaled(256), Scaled(92), Scaled(31));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::reject);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    // The picture is scaled with the rest of the box, so that it keeps its distance from
    // the banner.
    const int pictureSize = Scaled(kPictureSize);
    ProgramIcon->setPixmap(QPixmap::fromImage(programIconImages({pictureSize}).constFirst()));
    ProgramIcon->setGeometry(Scaled(10), Scaled(15), pictureSize, pictureSize);

    RxLabel1 = AddBannerLabel("RxLabel1", 88, 8, 189, 59, QStringLiteral("Vantor"));
    RxLabel2 = AddBannerLabel("RxLabel2", 176, 64, 192, 59, QStringLiteral("Crestel"));
    Label1 = AddLabel("Label1", 100, 143, QStringLiteral("Penhaven Wordprocessor"));
    Label2 = AddLabel("Label2", 100, 167, kCopyright);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(Scaled(100), Scaled(193), Scaled(320), 2);

    Label3 = AddLabel("Label3", 100, 206, QStringLiteral("Physical Memory Available to Windows:"));
    PhysMem = AddLabel("PhysMem", 338, 206, QStringLiteral("0"));
    Label4 = AddLabel("Label4", 100, 234, QStringLiteral("Memory in Use:"));
    FreeRes = AddLabel("FreeRes", 340, 234, QStringLiteral("0"));

    setFixedSize(Scaled(439), Scaled(299));
    PlaceInScreenCentre();
    OKButton->setFocus();
    FormCreate();
}

int TAboutBox::Scaled(int designPixels) const
{
    return int(std::lround(designPixels * double(logicalDpiY()) / kDesignDpi));
}

QLabel *TAboutBox::AddLabel(const char *name, int left, int top, const QString &caption)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(QLatin1String(name));
    label->move(Scaled(left), Scaled(top));
    label->adjustSize();
    return label;
}

TRxLabel *TAboutBox::AddBannerLabel(const char *name, int left, int top, int width, int height,
                                    const QString &caption)
{
    auto *label = new TRxLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(Scaled(left), Scaled(top), Scaled(width), Scaled(height));
    // Where Verdana is missing the desktop puts its nearest sans-serif face in its place.
    QFont banner(QStringLiteral("Verdana"));
    banner.setPixelSize(Scaled(47));
    banner.setBold(true);
    label->setFont(banner);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(colours);
    label->SetShadowColor(Qt::yellow);
    label->SetShadowSize(2);
    label->SetShadowPos(spRightBottom);
    label->SetTransparent(true);
    label->SetCaption(caption);
    return label;
}

QString TAboutBox::PhysMemText(quint64 totalBytes, const QLocale &locale)
{
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    const auto kib = qint64(std::llround(double(totalBytes) / 1024.0));
    return grouped.toString(kib) + QStringLiteral(" KB");
}

QString TAboutBox::MemoryLoadText(int percent)
{
    return QStringLiteral("%1 %").arg(percent);
}

void TAboutBox::FormCreate()
{
    const platform::MemoryStatus status = platform::memoryStatus();
    PhysMem->setText(PhysMemText(status.totalPhys));
    PhysMem->adjustSize();
    FreeRes->setText(MemoryLoadText(status.memoryLoad));
    FreeRes->adjustSize();
}

// A dialog that was placed keeps its place when shown, instead of centring on its owner.
void TAboutBox::PlaceInScreenCentre()
{
    const QScreen *where = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (where)
        move(where->availableGeometry().center() - rect().center());
}
