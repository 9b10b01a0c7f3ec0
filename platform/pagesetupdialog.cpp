#include "platform/pagesetupdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QRadioButton>
#include <QScreen>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr int kThousandthsPerInch = 1000;
constexpr int kHundredthsPerMillimetre = 100;

QString sourceName(int source)
{
    switch (QPrinter::PaperSource(source)) {
    case QPrinter::Auto: return QStringLiteral("Automatically Select");
    case QPrinter::OnlyOne: return QStringLiteral("Only One");
    case QPrinter::Lower: return QStringLiteral("Lower Tray");
    case QPrinter::Middle: return QStringLiteral("Middle Tray");
    case QPrinter::Manual: return QStringLiteral("Manual Feed");
    case QPrinter::Envelope: return QStringLiteral("Envelope");
    case QPrinter::EnvelopeManual: return QStringLiteral("Envelope Manual Feed");
    case QPrinter::Tractor: return QStringLiteral("Tractor Feed");
    case QPrinter::LargeCapacity: return QStringLiteral("Large Capacity");
    case QPrinter::Cassette: return QStringLiteral("Cassette");
    default: return QStringLiteral("Tray %1").arg(source);
    }
}

QPageSize pageSizeOfCode(int code)
{
    return QPageSize(QPageSize::id(code));
}

}  // namespace

// The page drawn to scale in its box, with the margins as a dotted frame.
class PagePreview : public QWidget {
public:
    explicit PagePreview(QWidget *parent) : QWidget(parent) { setFixedSize(150, 150); }

    void setPage(const QSizeF &paper, const QMarginsF &margins)
    {
        m_paper = paper;
        m_margins = margins;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_paper.isEmpty())
            return;
        QPainter painter(this);
        const QSizeF shown = m_paper.scaled(QSizeF(width() - 20, height() - 20), Qt::KeepAspectRatio);
        const double scale = shown.width() / m_paper.width();
        const QRectF page(QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
        painter.fillRect(page.translated(3, 3), palette().shadow());
        painter.fillRect(page, Qt::white);
        painter.setPen(palette().windowText().color());
        painter.drawRect(page);
        painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        painter.drawRect(page.adjusted(m_margins.left() * scale, m_margins.top() * scale,
                                       -m_margins.right() * scale, -m_margins.bottom() * scale));
    }

private:
    QSizeF m_paper;
    QMarginsF m_margins;
};

PageSetupDialog::PageSetupDialog(QWidget *parent, const PageSetupRequest &request)
    : QDialog(parent), m_inInches(request.inInches)
{
    setObjectName(QStringLiteral("PageSetupDialog"));
    setWindowTitle(QStringLiteral("Page Setup"));
    m_preview = new PagePreview(this);
    auto *top = new QHBoxLayout;
    top->addWidget(m_preview);
    auto *right = new QVBoxLayout;
    right->addWidget(buildPaperGroup(request));
    right->addWidget(buildOrientationGroup(request));
    top->addLayout(right);

    auto *printerRow = new QFormLayout;
    m_printer = new QComboBox(this);
    m_printer->setObjectName(QStringLiteral("printer"));
    m_printer->addItems(request.printers);
    m_printer->setCurrentIndex(std::max(0, int(request.printers.indexOf(request.printer))));
    printerRow->addRow(QStringLiteral("P&rinter:"), m_printer);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildMarginsGroup(request));
    layout->addLayout(printerRow);
    layout->addWidget(buttons);
    updatePreview();
}

QWidget *PageSetupDialog::buildPaperGroup(const PageSetupRequest &request)
{
    auto *group = new QGroupBox(QStringLiteral("Paper"), this);
    auto *form = new QFormLayout(group);
    m_paper = new QComboBox(group);
    m_paper->setObjectName(QStringLiteral("paperSize"));
    for (const auto &[code, name] : paperSizes())
        m_paper->addItem(name, code);
    m_paper->setCurrentIndex(std::max(0, m_paper->findData(request.paperCode)));
    m_source = new QComboBox(group);
    m_source->setObjectName(QStringLiteral("paperSource"));
    m_source->addItem(sourceName(QPrinter::Auto), int(QPrinter::Auto));
    for (int source : request.paperSources)
        if (m_source->findData(source) < 0)
            m_source->addItem(sourceName(source), source);
    m_source->setCurrentIndex(std::max(0, m_source->findData(request.paperSource)));
    m_paper->setEnabled(request.paperEnabled);
    m_source->setEnabled(request.paperEnabled);
    form->addRow(QStringLiteral("Si&ze:"), m_paper);
    form->addRow(QStringLiteral("&Source:"), m_source);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &PageSetupDialog::updatePreview);
    return group;
}

QWidget *PageSetupDialog::buildOrientationGroup(const PageSetupRequest &request)
{
    auto *group = new QGroupBox(QStringLiteral("Orientation"), this);
    auto *column = new QVBoxLayout(group);
    m_portrait = new QRadioButton(QStringLiteral("P&ortrait"), group);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape = new QRadioButton(QStringLiteral("L&andscape"), group);
    m_landscape->setObjectName(QStringLiteral("landscape"));
    (request.landscape ? m_landscape : m_portrait)->setChecked(true);
    column->addWidget(m_portrait);
    column->addWidget(m_landscape);
    connect(m_landscape, &QRadioButton::toggled, this, &PageSetupDialog::updatePreview);
    return group;
}

QWidget *PageSetupDialog::buildMarginsGroup(const PageSetupRequest &request)
{
    auto *group = new QGroupBox(m_inInches ? QStringLiteral("Margins (inches)") : QStringLiteral("Margins (millimeters)"),
                                this);
    auto *grid = new QGridLayout(group);
    m_left = addMarginField("leftMargin", request.margins.left());
    m_right = addMarginField("rightMargin", request.margins.right());
    m_top = addMarginField("topMargin", request.margins.top());
    m_bottom = addMarginField("bottomMargin", request.margins.bottom());
    const auto addRow = [grid, group](int row, int column, const QString &label, QLineEdit *field) {
        auto *caption = new QLabel(label, group);
        caption->setBuddy(field);
        grid->addWidget(caption, row, column);
        grid->addWidget(field, row, column + 1);
    };
    addRow(0, 0, QStringLiteral("&Left:"), m_left);
    addRow(0, 2, QStringLiteral("&Right:"), m_right);
    addRow(1, 0, QStringLiteral("&Top:"), m_top);
    addRow(1, 2, QStringLiteral("&Bottom:"), m_bottom);
    return group;
}

QLineEdit *PageSetupDialog::addMarginField(const char *name, int value)
{
    auto *field = new QLineEdit(marginText(value), this);
    field->setObjectName(QString::fromLatin1(name));
    connect(field, &QLineEdit::textChanged, this, &PageSetupDialog::updatePreview);
    return field;
}

QString PageSetupDialog::marginText(int value) const
{
    const int scale = m_inInches ? kThousandthsPerInch : kHundredthsPerMillimetre;
    return QString::number(double(value) / scale, 'f', m_inInches ? 3 : 2)
        .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

bool PageSetupDialog::readMargin(QLineEdit *field, int &value) const
{
    bool ok = false;
    const double number = field->text().trimmed().toDouble(&ok);
    const double scaled = number * (m_inInches ? kThousandthsPerInch : kHundredthsPerMillimetre);
    if (!ok || !std::isfinite(number) || number < 0 || scaled > 1e6)
        return false;
    value = int(std::lround(scaled));
    return true;
}

QSizeF PageSetupDialog::paperExtent() const
{
    const QPageSize page = pageSizeOfCode(m_paper->currentData().toInt());
    QSizeF size = m_inInches ? page.size(QPageSize::Inch) * kThousandthsPerInch
                             : page.size(QPageSize::Millimeter) * kHundredthsPerMillimetre;
    return m_landscape->isChecked() ? size.transposed() : size;
}

void PageSetupDialog::updatePreview()
{
    if (!m_preview || !m_bottom)
        return;
    const auto value = [this](QLineEdit *field) {
        int v = 0;
        return readMargin(field, v) ? double(v) : 0.0;
    };
    m_preview->setPage(paperExtent(), QMarginsF(value(m_left), value(m_top), value(m_right), value(m_bottom)));
}

PageSetupChoice PageSetupDialog::choice() const
{
    PageSetupChoice result;
    int left = 0, top = 0, right = 0, bottom = 0;
    readMargin(m_left, left);
    readMargin(m_top, top);
    readMargin(m_right, right);
    readMargin(m_bottom, bottom);
    result.margins = QMargins(left, top, right, bottom);
    result.paperCode = m_paper->currentData().toInt();
    result.paperSource = m_source->currentData().toInt();
    result.landscape = m_landscape->isChecked();
    result.printer = m_printer->currentText();
    return result;
}

void PageSetupDialog::accept()
{
    for (QLineEdit *field : {m_left, m_right, m_top, m_bottom}) {
        int value = 0;
        if (!readMargin(field, value)) {
            dialogs().messageBox(this, windowTitle(), QStringLiteral("Enter a margin of 0 or more, as a number."),
                                 MessageIcon::Warning, MessageButtons::OK);
            field->setFocus();
            field->selectAll();
            return;
        }
    }
    const QMargins margins = choice().margins;
    const QSizeF paper = paperExtent();
    if (margins.left() + margins.right() >= paper.width() || margins.top() + margins.bottom() >= paper.height()) {
        dialogs().messageBox(this, windowTitle(),
                             QStringLiteral("The margins leave no room for text on the page. Make them smaller."),
                             MessageIcon::Warning, MessageButtons::OK);
        m_left->setFocus();
        return;
    }
    QDialog::accept();
}

QList<QPair<int, QString>> PageSetupDialog::paperSizes()
{
    QList<QPair<int, QString>> sizes;
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const QPageSize::PageSizeId sizeId = QPageSize::PageSizeId(id);
        const int code = QPageSize::windowsId(sizeId);
        if (sizeId == QPageSize::Custom || code <= 0 || QPageSize::id(code) != sizeId)
            continue;
        sizes.append({code, QPageSize::name(sizeId)});
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

void PageSetupDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *current = screen())
        move(centredDialogPosition(current->geometry(), frameGeometry().size()));
}

}  // namespace platform
