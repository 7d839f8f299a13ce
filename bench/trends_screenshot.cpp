// Pictures of the Trends window and its Stability tab over a history root
// (made by make_demo_history), for the README: trends.png and stability.png
// in OUTDIR. --dark paints with a dark palette, to check the colours.
#include <QApplication>
#include <QPalette>
#include <QTest>
#include <iostream>

#include "views/form_trends.h"
#include "views/trends_plot.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::cerr << "usage: trends_screenshot ROOT OUTDIR [--dark]\n";
        return 2;
    }
    if (args.contains(QStringLiteral("--dark"))) {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(60, 60, 64));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Mid, QColor(90, 90, 95));
        QApplication::setPalette(dark);
    }
    TForm_Trends form(args[1].toStdString());
    form.resize(900, 560);
    form.show();
    form.SetQuantity(HistoryQuantity::Satellites);
    form.SetSpan(1);
    if (!QTest::qWaitFor([&] { return !form.Loading(); }, 20000))
        return 1;
    form.Plot()->SetCursor(form.Plot()->From() + 600);
    form.NextEvent();
    QTest::qWait(200);
    form.grab().save(args[2] + QStringLiteral("/trends.png"));
    form.ShowTab(1);
    form.ComputeStability();
    if (!QTest::qWaitFor([&] { return !form.Computing(); }, 20000))
        return 1;
    QTest::qWait(200);
    form.grab().save(args[2] + QStringLiteral("/stability.png"));
    return 0;
}
