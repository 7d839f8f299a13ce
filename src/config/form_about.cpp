#include "config/form_about.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include "jx_version.h"

TForm_About* Form_About = nullptr;

namespace {

constexpr int kClientWidth = 190;

// A receiver's view of the sky: a horizon arc, two orbits, a satellite and
// the program's name.
void PaintSky(QPainter& p, int w, int h)
{
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0.0, QColor(0, 32, 96));
    sky.setColorAt(1.0, QColor(0, 96, 160));
    p.fillRect(0, 0, w, h, sky);
    p.setPen(QPen(QColor(160, 200, 255), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(-20, 8, w + 40, 2.0 * h));
    p.drawEllipse(QRectF(10, 22, w - 20, 2.0 * h));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 64));
    p.drawEllipse(QRectF(-30, h - 12, w + 60, 40));
}

void PaintSatellite(QPainter& p, QPointF centre)
{
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(255, 210, 0));
    p.drawRect(QRectF(centre.x() - 3, centre.y() - 3, 6, 6));
    p.setBrush(QColor(80, 140, 255));
    p.drawRect(QRectF(centre.x() - 13, centre.y() - 2, 9, 4));
    p.drawRect(QRectF(centre.x() + 4, centre.y() - 2, 9, 4));
}

void PaintName(QPainter& p, int w)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 26, w, 22), Qt::AlignCenter, QStringLiteral("JX_Monitor"));
}

} // namespace

QPixmap DrawAboutPicture()
{
    const int w = TForm_About::kPictureWidth;
    const int h = TForm_About::kPictureHeight;
    QPixmap picture(w, h);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    PaintSky(p, w, h);
    PaintSatellite(p, QPointF(118, 12));
    PaintName(p, w);
    return picture;
}

TForm_About::TForm_About() : Form("Form_About", "About JX_Monitor", kClientWidth, 140)
{
    Image_Logo = new QLabel(this);
    Place(Image_Logo, QStringLiteral("Image_Logo"), (kClientWidth - kPictureWidth) / 2, 8, kPictureWidth,
          kPictureHeight);
    Image_Logo->setPixmap(DrawAboutPicture());
    Image_Logo->setAccessibleName(QStringLiteral("JX_Monitor"));
    Label_Version = new Label(this, QStringLiteral("Label_Version"), QStringLiteral("Version %1").arg(QLatin1String(kJxVersion)), 0, 76,
                              kClientWidth, 16);
    Label_Version->setAlignment(Qt::AlignCenter);
    Button_OK = new QPushButton(QStringLiteral("&OK"), this);
    Place(Button_OK, QStringLiteral("Button_OK"), (kClientWidth - 75) / 2, 104, 75, 25);
    Button_OK->setDefault(true);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_About::Button_OKClick);
    CentreOnScreen(this);
}

void TForm_About::Button_OKClick() { hide(); }
