#include "platform/widgets.h"

#include <QApplication>
#include <algorithm>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QVariant>

namespace {
const char* const kHintProperty = "jxHint";
constexpr int kDesignFontPixels = 11;
double g_designScale = 0; // 0 until first asked: then taken from the screen

// "12.5", " -3", "nan", "-inf": the texts that may be shown as an overflow instead.
bool IsNumberText(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+')))
        text = text.mid(1);
    if (text.compare(QLatin1String("nan"), Qt::CaseInsensitive) == 0 ||
        text.compare(QLatin1String("inf"), Qt::CaseInsensitive) == 0)
        return true;
    bool digits = false, point = false;
    for (const QChar c : text) {
        if (c.isDigit())
            digits = true;
        else if (c == QLatin1Char('.') && digits && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

QString OverflowText(const QLabel& label, const QString& text)
{
    if (text.contains(QLatin1String("nan"), Qt::CaseInsensitive))
        return QStringLiteral("NaN");
    const bool infinite = text.contains(QLatin1String("inf"), Qt::CaseInsensitive);
    if (!infinite && TextFits(label, text))
        return text;
    const bool negative = text.trimmed().startsWith(QLatin1Char('-'));
    for (int nines = 12; nines >= 1; --nines) {
        const QString bound = QString(nines, QLatin1Char('9'));
        const QString candidate = negative ? QStringLiteral("< -") + bound : QStringLiteral("> ") + bound;
        if (TextFits(label, candidate))
            return candidate;
    }
    return negative ? QStringLiteral("<") : QStringLiteral(">");
}
} // namespace

double DesignScale()
{
    if (g_designScale <= 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        g_designScale = screen ? std::max(1.0, screen->logicalDotsPerInch() / 96.0) : 1.0;
    }
    return g_designScale;
}

void SetDesignScale(double scale) { g_designScale = scale; }

int Scaled(int designPixels) { return qRound(designPixels * DesignScale()); }

int TextRoom(const QLabel& label)
{
    int room = label.contentsRect().width() - 2 * label.margin();
    if (!(label.alignment() & Qt::AlignHCenter)) {
        // Qt's own indent of left- or right-aligned text in a frame: half an "x".
        const int xHalf = label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
        room -= label.indent() >= 0 ? label.indent() : label.frameWidth() > 0 ? xHalf : 0;
    }
    return room;
}

bool TextFits(const QLabel& label, const QString& text)
{
    return label.fontMetrics().horizontalAdvance(text) <= TextRoom(label);
}

QColor ReadableTextOn(const QColor& background)
{
    // Perceived brightness (ITU-R BT.601 weights), 0..255.
    const double brightness = 0.299 * background.red() + 0.587 * background.green() + 0.114 * background.blue();
    return brightness >= 140 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor WindowColour() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
QColor ButtonFaceColour() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
QColor WindowTextColour() { return QApplication::palette().color(QPalette::Active, QPalette::WindowText); }
QColor InactiveCaptionTextColour() { return QApplication::palette().color(QPalette::Disabled, QPalette::WindowText); }

void SetHint(QWidget* widget, const QString& hint) { widget->setProperty(kHintProperty, hint); }

QString HintOf(const QWidget* widget) { return widget ? widget->property(kHintProperty).toString() : QString(); }

QString NearestHint(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QString hint = HintOf(widget);
        if (!hint.isEmpty())
            return hint;
    }
    return {};
}

void SetDesignFont(QWidget* window)
{
    QFont f = window->font();
    f.setPixelSize(Scaled(kDesignFontPixels));
    window->setFont(f);
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void Place(QWidget* widget, const QString& name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(Scaled(left), Scaled(top), Scaled(width), Scaled(height));
}

Label::Label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height)
    : QLabel(caption, parent)
{
    Place(this, name, left, top, width, height);
    setTextFormat(Qt::PlainText);
}

void Label::setCaption(const QString& caption)
{
    if (caption == givenCaption_ && text() == shownCaption_ && !givenCaption_.isNull())
        return;
    ShowCaption(caption);
    givenCaption_ = caption;
    shownCaption_ = text();
}

void Label::ShowCaption(const QString& caption)
{
    // Texts short enough to fit whatever their digits skip the measuring;
    // "nan" and "inf" (both with an n) never do.
    const bool shortEnough =
        caption.size() <= SafeNumberChars() && !caption.contains(QLatin1Char('n'), Qt::CaseInsensitive);
    if (shortEnough || !IsNumberText(caption)) {
        setText(caption);
        return;
    }
    setText(OverflowText(*this, caption));
}

int Label::SafeNumberChars()
{
    if (safeNumberChars_ < 0) {
        int widest = 1;
        for (QChar c : QStringLiteral("0123456789.-+"))
            widest = std::max(widest, fontMetrics().horizontalAdvance(c));
        safeNumberChars_ = std::max(0, TextRoom(*this)) / widest;
    }
    return safeNumberChars_;
}

void Label::resizeEvent(QResizeEvent* event)
{
    safeNumberChars_ = -1;
    givenCaption_ = QString();
    QLabel::resizeEvent(event);
}

void Label::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        safeNumberChars_ = -1;
        givenCaption_ = QString();
    }
    QLabel::changeEvent(event);
}

void Label::setBold(bool bold)
{
    QFont f = font();
    f.setBold(bold);
    setFont(f);
}

void Label::setTextColour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

void Label::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QLabel::mousePressEvent(event);
}

void Label::setClickable() { setFocusPolicy(Qt::StrongFocus); }

void Label::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (focusPolicy() == Qt::NoFocus || (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)) {
        QLabel::keyPressEvent(event);
        return;
    }
    emit mouseDown(Qt::LeftButton);
    emit clicked();
}

Panel::Panel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height,
             Bevel bevel)
    : Label(parent, name, caption, left, top, width, height)
{
    setAlignment(Qt::AlignCenter);
    setBevel(bevel);
    setColour(ButtonFaceColour());
}

void Panel::setColour(const QColor& colour)
{
    // Decoders set the same colour on every report; a palette change costs a
    // style pass and a repaint, so an unchanged colour is left alone.
    if (colour == colour_ && autoFillBackground() && palette().color(QPalette::Window) == colour)
        return;
    colour_ = colour;
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    // Disabled text keeps the system's greyed colour.
    p.setColor(QPalette::Active, QPalette::WindowText, ReadableTextOn(colour));
    p.setColor(QPalette::Inactive, QPalette::WindowText, ReadableTextOn(colour));
    setPalette(p);
    setAutoFillBackground(true);
}

void Panel::setBevel(Bevel bevel)
{
    switch (bevel) {
    case Bevel::None:
        setFrameStyle(QFrame::NoFrame);
        break;
    case Bevel::Raised:
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        break;
    case Bevel::Lowered:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    }
    setLineWidth(1);
}

QString LampStateWord(const QColor& colour)
{
    if (colour == Colours::Lime)
        return QStringLiteral("lit");
    if (colour == Colours::Grey)
        return QStringLiteral("dark");
    if (colour == Colours::Yellow)
        return QStringLiteral("warning");
    if (colour == Colours::Red)
        return QStringLiteral("fault");
    return {};
}

Shape::Shape(QWidget* parent, const QString& name, int left, int top, int size) : QWidget(parent)
{
    Place(this, name, left, top, size, size);
    setFill(Colours::Grey);
}

void Shape::setFill(const QColor& colour)
{
    if (colour == fill_ && !accessibleName().isEmpty())
        return;
    fill_ = colour;
    setAccessibleName(LampStateWord(colour));
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fill_);
    painter.drawEllipse(QRectF(0.5, 0.5, width() - 1.0, height() - 1.0));
}

Form::Form(const QString& name, const QString& caption, int clientWidth, int clientHeight)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(name);
    setWindowTitle(caption);
    SetDesignFont(this);
    setFixedSize(Scaled(clientWidth), Scaled(clientHeight));
    setModal(false);
}

void Form::showForm()
{
    show();
    raise();
    activateWindow();
}
