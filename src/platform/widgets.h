// The building blocks every window is made of: captioned panels and labels
// that report clicks, round lamps, the standard colours, hints, and the
// fixed-size form frame. Controls are placed by pixel geometry, as designed.
#pragma once

#include <QColor>
#include <QDialog>
#include <QLabel>
#include <QString>
#include <QWidget>

// Colours of the lamps and fields.
namespace Colours {
inline const QColor Lime{0, 255, 0};
inline const QColor Grey{128, 128, 128};
inline const QColor Yellow{255, 255, 0};
inline const QColor Red{255, 0, 0};
} // namespace Colours

// The system colour of data fields (edit background).
QColor WindowColour();
// The system colour of buttons and of fields without data.
QColor ButtonFaceColour();
QColor WindowTextColour();
QColor InactiveCaptionTextColour();

// Hints: any widget may carry one; the hint line shows the hint of the
// widget under the pointer or of its nearest ancestor that has one.
void SetHint(QWidget* widget, const QString& hint);
QString HintOf(const QWidget* widget);
QString NearestHint(const QWidget* widget);

// The windows are designed in pixels for a 96 dpi screen. On a denser screen
// (or with QT_FONT_DPI) the font and every placed geometry grow by the same
// factor, so captions keep fitting their fields. Tests may set the factor
// before building windows.
double DesignScale();
void SetDesignScale(double scale);
int Scaled(int designPixels);

// The windows' font: small and in pixels, scaled with the design.
void SetDesignFont(QWidget* window);
// The room a label's text has: its width inside frame, margins and indent.
int TextRoom(const QLabel& label);
bool TextFits(const QLabel& label, const QString& text);
// Black or white, whichever reads better on the background.
QColor ReadableTextOn(const QColor& background);

// Moves a top-level window to the middle of its screen.
void CentreOnScreen(QWidget* window);

// Places a new child by design geometry (scaled) and names it.
void Place(QWidget* widget, const QString& name, int left, int top, int width, int height);

// A caption that reports left and right mouse presses.
class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height);

    // A number too wide for the field shows as "> 9999" or "< -999" (as many
    // nines as fit) rather than a cut number; not-a-number shows as "NaN".
    void setCaption(const QString& caption);
    QString caption() const { return text(); }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    void setHint(const QString& hint) { SetHint(this, hint); }
    void setBold(bool bold);
    void setTextColour(const QColor& colour);
    QColor textColour() const { return palette().color(QPalette::WindowText); }
    // Takes keyboard focus; Space or Enter then acts as a left click.
    void setClickable();

signals:
    void clicked();
    void mouseDown(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // How many characters of a number fit whatever they are; -1 until measured.
    int SafeNumberChars();
    void ShowCaption(const QString& caption);
    // The caption last given and what it showed as: a caption given again
    // (most fields, most seconds) needs no measuring while the field keeps its size and font.
    QString givenCaption_, shownCaption_;
    int tag_ = 0;
    int safeNumberChars_ = -1;
};

// A bevelled panel with a caption and a background colour.
class Panel : public Label {
    Q_OBJECT
public:
    enum class Bevel { None, Raised, Lowered };

    Panel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int width, int height,
          Bevel bevel = Bevel::Lowered);

    // The text colour follows: dark text on a light background, light on dark.
    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }
    void setBevel(Bevel bevel);

private:
    QColor colour_;
};

// A round lamp. Its accessible name says its state in words.
class Shape : public QWidget {
    Q_OBJECT
public:
    Shape(QWidget* parent, const QString& name, int left, int top, int size);

    void setFill(const QColor& colour);
    QColor fill() const { return fill_; }
    bool isLit() const { return fill_ == Colours::Lime; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_ = Colours::Grey;
    int tag_ = 0;
};

// "lit", "dark", "warning", "fault", or "" for another colour.
QString LampStateWord(const QColor& colour);

// A window of fixed client size with only a close box; closing hides it.
class Form : public QDialog {
    Q_OBJECT
public:
    Form(const QString& name, const QString& caption, int clientWidth, int clientHeight);
    // Makes the window visible, modeless, and brings it to the front.
    void showForm();
};
