#include "views/form_trends.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QThreadPool>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>

#include "model/history_store.h"
#include "views/stability_plot.h"
#include "views/trends_plot.h"
#include "views/view_support.h"

TForm_Trends* Form_Trends = nullptr;

namespace {

constexpr int64_t kSpans[] = {600, 3600, 6 * 3600, 86400, 7 * 86400};
const char* const kSpanNames[] = {"10 min", "1 h", "6 h", "24 h", "7 days"};

// Runs work on the pool; its result comes back on the GUI thread to the
// window, if the window is still there.
template <class Work, class Deliver>
void OffGuiThread(TForm_Trends* form, Work work, Deliver deliver)
{
    QPointer<TForm_Trends> target(form);
    QThreadPool::globalInstance()->start([target, work, deliver]() mutable {
        auto result = std::make_shared<decltype(work())>(work());
        QMetaObject::invokeMethod(qApp, [target, deliver, result]() mutable {
            if (target)
                deliver(target.data(), std::move(*result));
        });
    });
}

std::string LabelOf(const std::string& folder)
{
    const std::string name = std::filesystem::path(folder).filename().string();
    return name.substr(0, name.find('_'));
}

QString Number(double v) { return std::isfinite(v) ? QString::number(v, 'e', 6) : QString(); }

} // namespace

TForm_Trends::TForm_Trends(std::string root)
    : Form(QStringLiteral("Form_Trends"), QStringLiteral("Trends"), 760, 480),
      root_(root.empty() ? HistoryRoot() : std::move(root))
{
    MakeResizable(this, QSize(560, 360));
    auto* top = new QHBoxLayout;
    quantity_ = new QComboBox;
    quantity_->setObjectName(QStringLiteral("ComboBox_Quantity"));
    for (int q = 0; q < static_cast<int>(HistoryQuantity::Count); ++q)
        quantity_->addItem(QString::fromStdString(QuantityCaption(static_cast<HistoryQuantity>(q))));
    span_ = new QComboBox;
    span_->setObjectName(QStringLiteral("ComboBox_Span"));
    for (const char* name : kSpanNames)
        span_->addItem(QString::fromUtf8(name));
    span_->setCurrentIndex(1);
    auto* previous = new QPushButton(QStringLiteral("&Previous event"));
    previous->setObjectName(QStringLiteral("Button_PreviousEvent"));
    auto* next = new QPushButton(QStringLiteral("&Next event"));
    next->setObjectName(QStringLiteral("Button_NextEvent"));
    auto* quantityLabel = new QLabel(QStringLiteral("&Quantity"));
    quantityLabel->setBuddy(quantity_);
    auto* spanLabel = new QLabel(QStringLiteral("S&pan"));
    spanLabel->setBuddy(span_);
    top->addWidget(quantityLabel);
    top->addWidget(quantity_, 1);
    top->addWidget(spanLabel);
    top->addWidget(span_);
    top->addWidget(previous);
    top->addWidget(next);

    receiversList_ = new QListWidget;
    receiversList_->setObjectName(QStringLiteral("List_Receivers"));
    receiversList_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("COM16_ttyUSB10__")) + 30);

    plot_ = new TrendsPlot;
    cursorLabel_ = new QLabel;
    cursorLabel_->setObjectName(QStringLiteral("Label_Cursor"));
    cursorLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* trendsPage = new QWidget;
    auto* trendsLayout = new QVBoxLayout(trendsPage);
    trendsLayout->addWidget(plot_, 1);
    trendsLayout->addWidget(cursorLabel_);

    statistic_ = new QComboBox;
    statistic_->setObjectName(QStringLiteral("ComboBox_Statistic"));
    statistic_->addItems({QStringLiteral("ADEV"), QStringLiteral("MDEV"), QStringLiteral("TDEV")});
    auto* compute = new QPushButton(QStringLiteral("&Compute"));
    compute->setObjectName(QStringLiteral("Button_Compute"));
    auto* copy = new QPushButton(QStringLiteral("C&opy table"));
    copy->setObjectName(QStringLiteral("Button_CopyTable"));
    stabilityPlot_ = new StabilityPlot;
    stabilityNote_ = new QLabel;
    stabilityNote_->setObjectName(QStringLiteral("Label_StabilityNote"));
    stabilityNote_->setWordWrap(true);
    table_ = new QTableWidget(0, 12);
    table_->setObjectName(QStringLiteral("Table_Stability"));
    table_->setHorizontalHeaderLabels({"Receiver", "tau (s)", "N", "ADEV", "low", "high", "MDEV", "low", "high",
                                       "TDEV (s)", "low", "high"});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    auto* stabilityPage = new QWidget;
    auto* stabilityLayout = new QVBoxLayout(stabilityPage);
    auto* stabilityTop = new QHBoxLayout;
    stabilityTop->addWidget(statistic_);
    stabilityTop->addWidget(compute);
    stabilityTop->addWidget(copy);
    stabilityTop->addStretch(1);
    stabilityLayout->addLayout(stabilityTop);
    stabilityLayout->addWidget(stabilityPlot_, 3);
    stabilityLayout->addWidget(stabilityNote_);
    stabilityLayout->addWidget(table_, 2);

    tabs_ = new QTabWidget;
    tabs_->setObjectName(QStringLiteral("Tabs_Trends"));
    tabs_->addTab(trendsPage, QStringLiteral("&Trends"));
    tabs_->addTab(stabilityPage, QStringLiteral("&Stability"));
    auto* middle = new QHBoxLayout;
    middle->addWidget(receiversList_);
    middle->addWidget(tabs_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);

    connect(quantity_, &QComboBox::currentIndexChanged, this, [this] { Load(); });
    connect(span_, &QComboBox::activated, this, [this](int i) { SetSpan(i); });
    connect(receiversList_, &QListWidget::itemChanged, this, [this] { Load(); });
    connect(previous, &QPushButton::clicked, this, &TForm_Trends::PreviousEvent);
    connect(next, &QPushButton::clicked, this, &TForm_Trends::NextEvent);
    connect(plot_, &TrendsPlot::rangeChanged, this, [this] { Load(); });
    connect(plot_, &TrendsPlot::cursorMoved, this, &TForm_Trends::UpdateCursorText);
    connect(statistic_, &QComboBox::currentIndexChanged, this,
            [this](int i) { stabilityPlot_->SetStatistic(static_cast<StabilityStatistic>(i)); });
    connect(compute, &QPushButton::clicked, this, &TForm_Trends::ComputeStability);
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(StabilityText()); });
    SetSpan(1);
}

TForm_Trends::~TForm_Trends()
{
    if (cancelLoad_)
        cancelLoad_->store(true);
}

void TForm_Trends::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    RefreshReceivers();
}

void TForm_Trends::RefreshReceivers()
{
    const std::vector<std::string> chosen = ChosenFolders();
    const QSignalBlocker block(receiversList_);
    receiversList_->clear();
    int index = 0;
    for (const std::string& folder : HistoryFolders(root_)) {
        const QString name = QString::fromStdString(std::filesystem::path(folder).filename().string());
        auto* item = new QListWidgetItem(name, receiversList_);
        item->setData(Qt::UserRole, QString::fromStdString(folder));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool was = std::find(chosen.begin(), chosen.end(), folder) != chosen.end();
        item->setCheckState(was || (chosen.empty() && index < 3) ? Qt::Checked : Qt::Unchecked);
        item->setForeground(ReceiverColour(index++, palette().color(QPalette::Base)));
    }
    Load();
}

void TForm_Trends::ChooseReceivers(const std::vector<std::string>& folderNames)
{
    {
        const QSignalBlocker block(receiversList_);
        for (int i = 0; i < receiversList_->count(); ++i) {
            QListWidgetItem* item = receiversList_->item(i);
            const bool chosen = std::find(folderNames.begin(), folderNames.end(), item->text().toStdString()) !=
                                folderNames.end();
            item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
        }
    }
    Load();
}

std::vector<std::string> TForm_Trends::ChosenFolders() const
{
    std::vector<std::string> folders;
    for (int i = 0; i < receiversList_->count(); ++i)
        if (receiversList_->item(i)->checkState() == Qt::Checked)
            folders.push_back(receiversList_->item(i)->data(Qt::UserRole).toString().toStdString());
    return folders;
}

void TForm_Trends::SetQuantity(HistoryQuantity q) { quantity_->setCurrentIndex(static_cast<int>(q)); }

void TForm_Trends::SetSpan(int index, int64_t end)
{
    index = std::clamp(index, 0, static_cast<int>(std::size(kSpans)) - 1);
    span_->setCurrentIndex(index);
    const int64_t to = end ? end : QDateTime::currentSecsSinceEpoch();
    plot_->SetRange(to - kSpans[index], to);
    Load();
}

// One load: the receivers' plotted series, filled by one pool task per
// receiver (so the pool's threads read receivers side by side).
struct TForm_Trends::PendingLoad {
    std::vector<Receiver> receivers;
    std::vector<PlottedReceiver> plotted;
    std::atomic<size_t> left{0};
    QString caption;
};

void TForm_Trends::Load()
{
    const int generation = ++generation_;
    if (cancelLoad_)
        cancelLoad_->store(true);
    cancelLoad_ = std::make_shared<std::atomic<bool>>(false);
    const auto quantity = static_cast<HistoryQuantity>(quantity_->currentIndex());
    const int64_t from = plot_->From(), to = plot_->To();
    const int columns = plot_->PlotColumns();
    auto loading = std::make_shared<PendingLoad>();
    loading->caption = QString::fromStdString(QuantityCaption(quantity));
    for (int i = 0; i < receiversList_->count(); ++i)
        if (receiversList_->item(i)->checkState() == Qt::Checked) {
            const std::string folder = receiversList_->item(i)->data(Qt::UserRole).toString().toStdString();
            loading->receivers.push_back({folder, LabelOf(folder), i, {}});
            loading->plotted.push_back({QString::fromStdString(LabelOf(folder)),
                                        ReceiverColour(i, palette().color(QPalette::Base)), {}, {}});
        }
    ++loading_;
    plot_->SetLoading(QStringLiteral("Reading the history..."));
    loading->left = loading->receivers.size();
    if (loading->receivers.empty()) {
        Loaded(generation, *loading);
        return;
    }
    QPointer<TForm_Trends> target(this);
    for (size_t i = 0; i < loading->receivers.size(); ++i)
        QThreadPool::globalInstance()->start([target, loading, i, generation, quantity, from, to, columns,
                                              cancel = cancelLoad_] {
            DecimatedHistory d = ReadDecimated(loading->receivers[i].folder, quantity, from, to, columns, cancel.get());
            loading->plotted[i].columns = std::move(d.columns);
            loading->plotted[i].events = d.events;
            loading->receivers[i].events = std::move(d.events);
            if (--loading->left == 0)
                QMetaObject::invokeMethod(qApp, [target, loading, generation] {
                    if (target)
                        target->Loaded(generation, *loading);
                });
        });
}

void TForm_Trends::Loaded(int generation, PendingLoad& loaded)
{
    --loading_;
    if (generation != generation_)
        return; // a later choice is on its way
    receivers_ = std::move(loaded.receivers);
    plot_->SetLoading(loaded.plotted.empty() ? QStringLiteral("No history of the chosen receivers") : QString());
    plot_->SetSeries(std::move(loaded.plotted), loaded.caption);
    UpdateCursorText();
}

QString TForm_Trends::CursorText() const
{
    const int64_t t = plot_->Cursor();
    if (t < 0)
        return {};
    QString text = QDateTime::fromSecsSinceEpoch(t, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const auto quantity = static_cast<HistoryQuantity>(quantity_->currentIndex());
    for (const Receiver& r : receivers_) {
        const std::optional<HistorySample> s = ReadSampleAt(r.folder, t);
        const double v = s ? QuantityValue(*s, quantity) : NAN;
        text += QStringLiteral("   %1: %2").arg(QString::fromStdString(r.label),
                                               std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'g', 10));
    }
    return text;
}

void TForm_Trends::UpdateCursorText() { cursorLabel_->setText(CursorText()); }

void TForm_Trends::JumpToEvent(bool forward)
{
    const int64_t at = plot_->Cursor() >= 0 ? plot_->Cursor() : (forward ? plot_->From() : plot_->To());
    int64_t best = -1;
    for (const Receiver& r : receivers_)
        for (const HistoryEvent& e : r.events)
            if (forward ? (e.unixSecond > at && (best < 0 || e.unixSecond < best))
                        : (e.unixSecond < at && (best < 0 || e.unixSecond > best)))
                best = e.unixSecond;
    if (best < 0)
        return;
    const int64_t half = (plot_->To() - plot_->From()) / 2;
    plot_->SetCursor(best);
    if (best < plot_->From() || best > plot_->To()) {
        plot_->SetRange(best - half, best + half);
        Load();
    }
    UpdateCursorText();
}

void TForm_Trends::ShowTab(int index) { tabs_->setCurrentIndex(index); }

void TForm_Trends::NextEvent() { JumpToEvent(true); }
void TForm_Trends::PreviousEvent() { JumpToEvent(false); }

void TForm_Trends::ComputeStability()
{
    const int generation = ++stabilityGeneration_;
    const int64_t from = plot_->From(), to = plot_->To();
    struct Input {
        std::string label;
        int colour;
        std::string folder;
    };
    std::vector<Input> inputs;
    for (const Receiver& r : receivers_)
        inputs.push_back({r.label, r.colour, r.folder});
    ++computing_;
    stabilityPlot_->SetMessage(QStringLiteral("Computing..."));
    OffGuiThread(
        this,
        [inputs, from, to] {
            std::vector<Computed> computed;
            for (const Input& input : inputs) {
                Computed c;
                c.label = input.label;
                c.colour = input.colour;
                c.run = LongestGapFreeRun(ReadPhaseSamples(input.folder, from, to));
                c.rows = StabilityTable(c.run.phase, c.run.tau0);
                computed.push_back(std::move(c));
            }
            return computed;
        },
        [generation](TForm_Trends* form, std::vector<Computed> computed) {
            --form->computing_;
            form->ShowStability(generation, std::move(computed));
        });
}

void TForm_Trends::ShowStability(int generation, std::vector<Computed> computed)
{
    if (generation != stabilityGeneration_)
        return;
    computed_ = std::move(computed);
    std::vector<StabilityCurve> curves;
    QStringList notes;
    table_->setRowCount(0);
    for (size_t i = 0; i < computed_.size(); ++i) {
        const Computed& c = computed_[i];
        const QString label = QString::fromStdString(c.label);
        curves.push_back({label, ReceiverColour(c.colour, palette().color(QPalette::Base)), c.rows});
        notes << label + QStringLiteral(": ") + QString::fromStdString(DescribeRun(c.run));
        for (const StabilityRow& r : c.rows) {
            const int row = table_->rowCount();
            table_->insertRow(row);
            const QString cells[] = {label,           QString::number(r.tau), QString::number(r.n),
                                     Number(r.adev.value), Number(r.adev.low), Number(r.adev.high),
                                     Number(r.mdev.value), Number(r.mdev.low), Number(r.mdev.high),
                                     Number(r.tdev.value), Number(r.tdev.low), Number(r.tdev.high)};
            for (int col = 0; col < 12; ++col)
                table_->setItem(row, col, new QTableWidgetItem(cells[col]));
        }
    }
    stabilityPlot_->SetMessage(computed_.empty() ? QStringLiteral("No receiver chosen") : QString());
    stabilityPlot_->SetCurves(std::move(curves));
    stabilityNote_->setText(notes.join(QLatin1Char('\n')));
}

QString TForm_Trends::StabilityText() const
{
    QString text = QStringLiteral("receiver\ttau\tn\tadev\tadev_low\tadev_high\tmdev\tmdev_low\tmdev_high\ttdev\t"
                                  "tdev_low\ttdev_high\n");
    for (int row = 0; row < table_->rowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < table_->columnCount(); ++col)
            cells << table_->item(row, col)->text();
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}
