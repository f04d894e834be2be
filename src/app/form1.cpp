#include "app/form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStandardPaths>
#include <cmath>
#include <set>

#include <unistd.h>

#include "app/progress_strips.h"
#include "gif/gif_blocks.h"
#include "music/tune_composer.h"
#include "run/run_values.h"

// The icon lives in this static library's resources, which must be
// registered by name (from the global namespace) to be linked in.
static void register_resources() { Q_INIT_RESOURCE(resources); }

namespace vz {

namespace {

constexpr double kTwipsPerPixel = 15;  // 1440 twips per inch at 96 pixels per inch
constexpr qint64 kTurnMilliseconds = 10;  // event-loop turns during a run, at most this often

const QString kTitle = QStringLiteral("Vuzuduzi-2");
const QString kCreatingCaption = QStringLiteral("Vuzuduzi-2 - Создание файла ");
const QString kAboutCaption = QStringLiteral("Vuzuduzi-2 - О программе");
const QString kStopCaption = QStringLiteral("СТОП");
const QString kCrLf = QStringLiteral("\r\n");

QString text_of(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string bytes_of(const QString& text) { return text.toStdString(); }

QColor colour_of(std::uint32_t value) {
    if (value & 0x80000000u) return QPalette().color(QPalette::ToolTipBase);  // a system colour
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// A number for a single-precision field, as the window shows it ("323", "12.5").
QString number_text(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

bool writable_folder(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) == 0;
}

}  // namespace

const QString Form1::kIdleCaption =
    QStringLiteral("                 СТАРТ                 (Создаём анимированный GIF) ");

Form1::Form1(Platform& platform, SettingsStore& settings)
    : platform_(platform), settings_(settings), player_(platform.midi_output(), tune_table_) {
    register_resources();
    build_controls();
}

Form1::~Form1() = default;

int Form1::to_pixels(double twips) const { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
double Form1::to_twips(int pixels) const { return pixels * kTwipsPerPixel; }

void Form1::place(QWidget* control, int left, int top, int width, int height) const {
    control->setGeometry(to_pixels(left), to_pixels(top), to_pixels(width), to_pixels(height));
}

void Form1::build_controls() {
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(QStringLiteral(":/vuzuduzi-2.png")));
    setFixedSize(to_pixels(8055), to_pixels(4305));

    // The layout is measured for a narrow sans serif of about 8 points.
    QFont window_font;
    window_font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                             QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans Condensed")});
    window_font.setStyleHint(QFont::SansSerif);
    window_font.setPointSizeF(8);
    setFont(window_font);
    QFont sans_serif = window_font;
    sans_serif.setPointSizeF(9.75);
    auto label = [&](const QString& text, int l, int t, int w, int h) {
        auto* control = new QLabel(text, this);
        place(control, l, t, w, h);
        return control;
    };
    auto check = [&](const QString& text, int l, int t, int w, int h) {
        auto* control = new QCheckBox(text, this);
        place(control, l, t, w, h);
        return control;
    };
    auto button = [&](const QString& text, int l, int t, int w, int h) {
        auto* control = new QPushButton(text, this);
        place(control, l, t, w, h);
        return control;
    };

    // Shapes first, so that they sit behind the controls they frame.
    Shape1 = new ShapeFrame(this, QColor(0x80, 0x80, 0x80), true);
    place(Shape1, 120, 120, 3255, 615);
    Shape2 = new ShapeFrame(this, QColor(0x80, 0x80, 0x80), true, colour_of(kInfoBackgroundColour));
    place(Shape2, 120, 840, 3255, 615);
    Shape3 = new ShapeFrame(this, QColor(0x80, 0x40, 0x00), false);
    place(Shape3, 120, 1560, 3255, 1575);

    Label2 = label(QStringLiteral("Количество картинок"), 360, 360, 2295, 255);
    Label2->setFont(sans_serif);
    Text1 = new QLineEdit(this);
    place(Text1, 2640, 240, 615, 375);
    Text1->setFont(sans_serif);
    Label1 = label(QStringLiteral("Размер"), 960, 960, 855, 255);
    Label1->setFont(sans_serif);
    Text2 = new QLineEdit(this);
    place(Text2, 2640, 960, 615, 375);
    Text2->setFont(sans_serif);
    Text2->installEventFilter(this);
    Label3 = label(QStringLiteral("(ширина и высота в пикселях)"), 240, 1200, 2535, 255);

    // The option boxes reach to the frame's right edge, so that their
    // captions fit in fonts wider than the one the layout was drawn for.
    constexpr int kOptionWidth = 3075;
    Check2 = check(QStringLiteral("Мобильный размер 128 x 128"), 240, 1680, kOptionWidth, 300);
    Check3 = check(QStringLiteral("Фон должен быть прозрачным"), 240, 1920, kOptionWidth, 375);
    Check1 = check(QStringLiteral("Сжимать данные изображений"), 240, 2280, kOptionWidth, 375);
    Check1->setChecked(true);
    Check4 = check(QStringLiteral("Повторить предыдущий рисунок"), 240, 2640, kOptionWidth, 345);
    Check4->setEnabled(false);

    Command1 = new ColourButton(kIdleCaption, this);
    place(Command1, 360, 3240, 2775, 615);
    set_command1_colour(kInfoBackgroundColour);
    Label7 = label(QString(), 120, 3960, 1215, 255);
    Label9 = label(QString(), 1320, 3960, 2175, 255);
    Picture1 = label(QString(), 3600, 3600, 4335, 255);
    Picture2 = label(QString(), 3600, 3960, 4335, 255);
    for (QLabel* picture : {Picture1, Picture2}) picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label4 = label(QStringLiteral("Место сохранения :"), 3840, 120, 1815, 255);
    Drive1 = new DriveList(this);
    place(Drive1, 3480, 360, 2175, 315);
    Dir1 = new FolderList(this);
    place(Dir1, 3480, 840, 2175, 1665);
    File1 = new QListWidget(this);
    place(File1, 5760, 840, 2175, 1845);
    Command2 = button(QStringLiteral("Помощь"), 5760, 240, 855, 375);
    Command3 = button(QStringLiteral("О программе"), 6720, 240, 1215, 375);
    Label5 = label(QStringLiteral("Путь и имя будущего файла :"), 3480, 2640, 2295, 255);
    Text3 = new QLineEdit(this);
    place(Text3, 3480, 2940, 3615, 315);
    Command4 = button(QStringLiteral("Выход"), 7200, 2880, 735, 375);
    Check5 = check(QStringLiteral("В конце открыть для просмотра"), 3600, 3360, 2895, 195);

    // The About face's controls, hidden on the working face.
    Command7 = button(QStringLiteral("Перейти к программе"), 2520, 3360, 1815, 375);
    Label10 = new ClickableLabel(QStringLiteral("Web :   ") + text_of(kAuthorWebAddress), this);
    place(Label10, 2880, 2040, 2175, 375);
    Label10->setStyleSheet(QStringLiteral("color: #800000"));
    Label15 = new ClickableLabel(QStringLiteral("E-mail :      ") + text_of(kAuthorEmail), this);
    place(Label15, 3000, 2400, 2055, 255);
    Label15->setStyleSheet(QStringLiteral("color: #0000ff"));
    for (QLabel* link : {static_cast<QLabel*>(Label10), static_cast<QLabel*>(Label15)}) {
        link->setCursor(Qt::PointingHandCursor);
        // Wide enough for the whole address, about the same centre.
        const int width = std::max(link->width(), link->sizeHint().width());
        link->setGeometry(link->geometry().center().x() - width / 2, link->y(), width, link->height());
    }
    for (QWidget* about : {static_cast<QWidget*>(Command7), static_cast<QWidget*>(Label10),
                           static_cast<QWidget*>(Label15)})
        about->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    Timer3 = new QTimer(this);
    Timer3->setInterval(kTickMilliseconds);

    // Each control is known by its name, which is how tests find it.
    const std::pair<QObject*, const char*> names[] = {
        {Command1, "Command1"}, {Command2, "Command2"}, {Command3, "Command3"}, {Command4, "Command4"},
        {Command7, "Command7"}, {Check1, "Check1"},     {Check2, "Check2"},     {Check3, "Check3"},
        {Check4, "Check4"},     {Check5, "Check5"},     {Text1, "Text1"},       {Text2, "Text2"},
        {Text3, "Text3"},       {Label1, "Label1"},     {Label2, "Label2"},     {Label3, "Label3"},
        {Label4, "Label4"},     {Label5, "Label5"},     {Label7, "Label7"},     {Label9, "Label9"},
        {Label10, "Label10"},   {Label15, "Label15"},   {Picture1, "Picture1"}, {Picture2, "Picture2"},
        {Shape1, "Shape1"},     {Shape2, "Shape2"},     {Shape3, "Shape3"},     {Drive1, "Drive1"},
        {Dir1, "Dir1"},         {File1, "File1"},       {Timer1, "Timer1"},     {Timer3, "Timer3"}};
    for (const auto& [control, name] : names) control->setObjectName(QLatin1String(name));

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Check2, &QCheckBox::stateChanged, this, &Form1::Check2_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Dir1, &FolderList::folder_changed, this, &Form1::Dir1_Change);
    connect(Drive1, &DriveList::drive_changed, this, &Form1::Drive1_Change);
    connect(File1, &QListWidget::itemClicked, this, &Form1::File1_Click);
    connect(File1, &QListWidget::itemDoubleClicked, this, &Form1::File1_DblClick);
    connect(Label10, &ClickableLabel::clicked, this, &Form1::Label10_Click);
    connect(Label15, &ClickableLabel::clicked, this, &Form1::Label15_Click);
}

void Form1::set_command1_colour(std::uint32_t colour) {
    command1_colour_ = colour;
    Command1->set_colour(colour_of(colour));
}

// ---------------------------------------------------------------- load and unload

void Form1::Form_Load() {
    window_open_ = true;

    const QString folder = usable_folder(text_of(settings_.read("tem", "put", "")));
    Drive1->set_drive_of(folder);
    Dir1->set_folder(folder);
    show_file_list(Dir1->folder());
    save_folder_ = Dir1->folder();

    Text1->setText(text_of(settings_.read("tem", "col", "3")));
    Text2->setText(text_of(settings_.read("tem", "px", "323")));
    Check2->setChecked(leading_number(settings_.read("tem", "mob", "0")) == 1);
    Check3->setChecked(leading_number(settings_.read("tem", "fon", "0")) == 1);
    apply_window_position(leading_number(settings_.read("tem", "lef", "3500")),
                          leading_number(settings_.read("tem", "top", "3000")));
    Check5->setChecked(leading_number(settings_.read("met", "ope", "1")) == 1);
    saved_size_ = static_cast<float>(leading_number(bytes_of(Text2->text())));

    Timer1->stop();
    run_active_ = false;

    propose_next_name();
    Text3->setText(proposed_path_);

    file_existed_ = false;
    show_strip(Picture1, kFirstStrip);
    show_strip(Picture2, kFirstStrip);

    // Composing advances the instrument counters; nothing plays at start-up.
    tune_table_ = compose_tune(settings_).table;
    Timer3->stop();
    about_shown_ = false;
}

void Form1::Form_Unload() {
    window_open_ = false;
    settings_.write("tem", "put", bytes_of(save_folder_));
    settings_.write("tem", "col", bytes_of(Text1->text()));
    settings_.write("tem", "px", bytes_of(Text2->text()));
    settings_.write("tem", "mob", Check2->isChecked() ? "1" : "0");
    settings_.write("tem", "fon", Check3->isChecked() ? "1" : "0");
    // A window left where it was placed keeps its stored twips; converting
    // them through whole pixels would move it a little at every start.
    const bool unmoved = pos() == placed_at_;
    settings_.write("tem", "lef", std::to_string(unmoved ? placed_twips_.x() : std::lround(to_twips(x()))));
    settings_.write("tem", "top", std::to_string(unmoved ? placed_twips_.y() : std::lround(to_twips(y()))));
    settings_.write("met", "ope", Check5->isChecked() ? "1" : "0");
    Timer3->stop();
    player_.close();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    // A run in progress ends the program itself at its next check point,
    // after deleting its partial file and saying so.
    if (!run_active_) terminate_program();
}

void Form1::terminate_program() {
    terminating_ = true;
    platform_.quit();
}

// The default and fallback save folder: the program's own folder where it
// is writable (it is not once installed), else Pictures, else home.
QString Form1::usable_folder(const QString& stored) const {
    if (!stored.isEmpty() && QFileInfo(stored).isDir()) return QDir::cleanPath(QFileInfo(stored).absoluteFilePath());
    const QString candidates[] = {QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                  QDir::homePath()};
    for (const QString& candidate : candidates)
        if (writable_folder(candidate)) return QDir::cleanPath(candidate);
    return QDir::homePath();
}

void Form1::apply_window_position(double left_twips, double top_twips) {
    // Stored texts can hold any number; far outside every screen is all the same.
    constexpr double kFar = 1e7;
    QPoint position(to_pixels(std::clamp(left_twips, -kFar, kFar)), to_pixels(std::clamp(top_twips, -kFar, kFar)));
    // A position that would leave the window off every screen: primary screen instead.
    const QRect window(position, frameGeometry().size());
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens()) visible |= screen->geometry().intersects(window);
    if (!visible && QGuiApplication::primaryScreen())
        position = QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(40, 40);
    move(position);
    placed_at_ = pos();
    placed_twips_ = visible ? QPoint(static_cast<int>(std::lround(std::clamp(left_twips, -kFar, kFar))),
                                     static_cast<int>(std::lround(std::clamp(top_twips, -kFar, kFar))))
                            : QPoint(static_cast<int>(to_twips(x())), static_cast<int>(to_twips(y())));
}

// ---------------------------------------------------------------- the run

void Form1::randomize_pattern() {
    vz::randomize_pattern(pattern_, platform_.seconds_since_midnight());
    update_repeat_tooltip();
}

void Form1::update_repeat_tooltip() {
    if (pattern_.reference_size <= 0) {
        Check4->setToolTip(QString());
        return;
    }
    Check4->setToolTip(QStringLiteral("узор %1, размер %2")
                           .arg(text_of(format_pattern(pattern_)))
                           .arg(static_cast<int>(pattern_.reference_size)));
}

void Form1::Command1_Click() {
    Check4->setEnabled(true);
    if (!Check4->isChecked()) randomize_pattern();

    if (run_active_) {  // Stop: the running call notices at its next check point
        Command1->setText(kIdleCaption);
        run_active_ = false;
        setWindowTitle(kTitle);
        show_strip(Picture1, kFirstStrip);
        show_strip(Picture2, kFirstStrip);
        Label7->clear();
        Label9->clear();
        return;
    }

    run_active_ = true;
    Timer1->start();
    Command1->setText(kStopCaption);

    const RunNumbers numbers = validate_run_numbers(bytes_of(Text1->text()), bytes_of(Text2->text()));
    if (!numbers.accepted()) {
        platform_.message_box(text_of(kValidationTitle), text_of(numbers.rejection), Platform::Icon::Warning);
        run_active_ = false;
        Timer1->stop();
        Command1->setText(kIdleCaption);
        set_command1_colour(kNormalColour);
        return;
    }

    // A repeat needs a previous picture; before the first accepted run there
    // is none, so the press draws a new one as if the box were unchecked.
    const bool repeat = Check4->isChecked() && pattern_.reference_size > 0;
    if (Check4->isChecked() && !repeat) randomize_pattern();
    if (!repeat) pattern_.reference_size = numbers.picture_size;
    update_repeat_tooltip();

    request_.pattern = pattern_;
    request_.frame_count = numbers.frame_count;
    request_.picture_size = numbers.picture_size;
    request_.transparent = Check3->isChecked();
    output_path_ = Text3->text();
    request_.output_path = QFile::encodeName(output_path_).toStdString();
    setWindowTitle(kCreatingCaption + output_path_);

    if (!Check1->isChecked()) {
        rty();
        return;
    }
    run_with(true);
}

void Form1::rty() {
    setWindowTitle(kCreatingCaption + output_path_);
    run_with(false);
}

void Form1::run_with(bool compressed) {
    request_.compressed = compressed;
    const RunRequest request = request_;  // a nested press may start another run
    const QString path = output_path_;
    last_turn_ = -1;
    const RunResult result = run_generation(request, *this);
    output_path_ = path;
    finish_run(result);
}

void Form1::finish_run(const RunResult& result) {
    switch (result.outcome) {
        case RunOutcome::Completed:
            end_sequence();
            return;
        case RunOutcome::FileExists:
            platform_.message_box(QStringLiteral("Ошибка"),
                                  QStringLiteral("В этой папке уже есть такой файл :") + kCrLf + output_path_ + '.',
                                  Platform::Icon::Warning);
            file_existed_ = true;
            end_sequence();
            return;
        case RunOutcome::Failed:
            // Nothing was left behind; say why and go back to idle.
            platform_.message_box(QStringLiteral("Ошибка"),
                                  QStringLiteral("Не удалось записать файл :") + kCrLf + output_path_ + kCrLf +
                                      QString::fromLocal8Bit(result.error.c_str()),
                                  Platform::Icon::Warning);
            end_sequence(false);
            return;
        case RunOutcome::Stopped:
            platform_.message_box(QStringLiteral("Операция прервана"),
                                  QStringLiteral("Процесс был прерван.") + kCrLf + QStringLiteral("Сохранение не произошло."),
                                  Platform::Icon::Warning);
            Timer1->stop();
            set_command1_colour(kNormalColour);
            return;
        case RunOutcome::Exited:
            if (!terminating_)
                platform_.message_box(QStringLiteral("Выход из программы"),
                                      QStringLiteral("Процесс не был завершён.") + kCrLf +
                                          QStringLiteral("Сохранение не произошло."),
                                      Platform::Icon::Warning);
            terminate_program();
            return;
    }
}

void Form1::end_sequence(bool completion_step) {
    Label7->clear();
    Label9->clear();
    show_strip(Picture1, kFirstStrip);
    show_strip(Picture2, kFirstStrip);
    setWindowTitle(kTitle);
    Command1->setText(kIdleCaption);
    Timer1->stop();
    set_command1_colour(kNormalColour);
    show_file_list(Dir1->folder());
    run_active_ = false;
    window_open_ = true;
    propose_next_name();
    Text3->setText(proposed_path_);
    if (file_existed_ || !completion_step) {
        file_existed_ = false;
    } else if (Check5->isChecked()) {
        open_for_viewing();
    } else {
        got();
    }
    if (about_shown_) Picture2->hide();
}

void Form1::Timer1_Timer() {
    set_command1_colour(command1_colour_ == kInfoBackgroundColour ? kFlashColour : kInfoBackgroundColour);
}

void Form1::show_strip(QLabel* picture, int identifier) {
    // The background pass shows both strips on every block; a strip that is
    // already showing need not be set again.
    int& showing = picture == Picture1 ? picture1_strip_ : picture2_strip_;
    if (showing == identifier) return;
    showing = identifier;
    picture->setPixmap(progress_strip(identifier));
}

void Form1::show_frame_bar(int blocks) { show_strip(Picture1, kFirstStrip + blocks); }
void Form1::show_total_bar(int blocks) { show_strip(Picture2, kFirstStrip + blocks); }
void Form1::show_percent(int percent) { Label7->setText(text_of(percent_text(percent))); }
void Form1::show_frame_number(int frame) { Label9->setText(text_of(frame_text(frame))); }
void Form1::show_background_pass() { Label9->setText(text_of(kBackgroundText)); }

// Pending events are processed at most every 10 ms: more often only costs
// time, and a skipped turn cannot be told from one that found no events.
void Form1::yield_to_events() {
    const qint64 now = platform_.steady_milliseconds();
    if (last_turn_ >= 0 && now - last_turn_ < kTurnMilliseconds) return;
    last_turn_ = now;
    platform_.process_events();
}

CheckPoint Form1::check_point() {
    if (!run_active_) return CheckPoint::Stop;
    if (!window_open_) return CheckPoint::Exit;
    return CheckPoint::Continue;
}

// ---------------------------------------------------------------- completion

void Form1::got() {
    const QFileInfo file(output_path_);
    const int separator = output_path_.lastIndexOf('/');
    const QString folder = separator >= 0 ? output_path_.left(separator) : QString();
    platform_.message_box(QStringLiteral("Vuzuduzi-2 - Ура!"),
                          QStringLiteral("Файл  готов!  Его  имя:   \"") + file.fileName() + '"' + kCrLf +
                              QStringLiteral("Местонахождение:   ") + folder,
                          Platform::Icon::None);
}

void Form1::open_for_viewing() { platform_.open_file(output_path_); }

void Form1::File1_DblClick() { platform_.open_file(selected_file_); }

// ---------------------------------------------------------------- save location

void Form1::propose_next_name() {
    // One directory listing; a name counts as taken only when stored with
    // exactly this spelling.
    std::set<QString> names;
    const QDir folder(save_folder_);
    for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System)) names.insert(name);
    float n = 1;
    for (;; n += 1) {
        const QString name = QStringLiteral("Kvel_") + QString::number(static_cast<qint64>(n)) + QStringLiteral(".GIF");
        proposed_path_ = save_folder_ + '/' + name;
        if (!names.contains(name)) break;
    }
    name_number_ = n;
}

void Form1::show_file_list(const QString& folder) {
    File1->clear();
    // Hidden files stay out, among them a running picture's temporary file.
    File1->addItems(QDir(folder).entryList({QStringLiteral("*.GIF*")}, QDir::Files, QDir::Name));
}

void Form1::Dir1_Change() {
    show_file_list(Dir1->folder());
    save_folder_ = Dir1->folder();
    propose_next_name();
    Text3->setText(proposed_path_);
}

void Form1::Drive1_Change() {
    // A volume that cannot be shown leaves the folder list where it was;
    // either way the file list, save folder and proposal follow it again.
    Dir1->set_folder(Drive1->drive());
    Dir1_Change();
}

void Form1::File1_Click() {
    Drive1->set_drive_of(save_folder_);
    Dir1->set_folder(save_folder_);
    const QListWidgetItem* item = File1->currentItem();
    const QString name = item ? item->text() : QString();
    show_file_list(Dir1->folder());
    if (!name.isEmpty()) {
        selected_file_ = save_folder_ + '/' + name;
        const QList<QListWidgetItem*> same = File1->findItems(name, Qt::MatchExactly);
        if (!same.isEmpty()) File1->setCurrentItem(same.front());
    }
}

// ---------------------------------------------------------------- small handlers

void Form1::Check2_Click() {
    if (Check2->isChecked()) {
        saved_size_ = static_cast<float>(leading_number(bytes_of(Text2->text())));
        Text2->setText(QStringLiteral("128"));
    } else {
        Text2->setText(number_text(saved_size_));
    }
}

void Form1::Text2_LostFocus() {
    if (Check2->isChecked()) Text2->setText(QStringLiteral("128"));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::FocusOut) Text2_LostFocus();
    return QWidget::eventFilter(watched, event);
}

void Form1::Command4_Click() { close(); }

// ---------------------------------------------------------------- help and links

QString Form1::help_text() {
    const QString quote = QStringLiteral("\"");
    const QStringList lines = {
        QStringLiteral("  Программа ") + quote + kTitle + quote + QStringLiteral(" создаёт анимированные графические"),
        QStringLiteral("файлыв формате GIF с разноцветными узорами. В том числе и для"),
        QStringLiteral("мобильных телефонов. Причём, при каждом новом нажатии на кнопку"),
        quote + QStringLiteral("Старт") + quote + QStringLiteral(" она создаёт новый рисунок."),
        QString(),
        QStringLiteral("  Недостатки этой версии:"),
        QString(),
        QStringLiteral("1. Используются только 128 цветов. В следующей версии"),
        QStringLiteral("    количество цветов будет увеличено до 256."),
        QString(),
        QStringLiteral("3. В режиме со сжатием программа работает довольно медленно."),
        QString(),
        QStringLiteral("  Вы можете сначала создать файл без сжатия, он будет создаваться"),
        QStringLiteral("быстро и иметь большой размер в килобайтах (или даже в"),
        QStringLiteral("мегабайтах), но если рисунок вам понравится, то вы можете"),
        QStringLiteral("повторить его уже со сжатием. Тогда файл будет создаваться"),
        QStringLiteral("медленнее, но зато его размер на жёстком диске будет уже"),
        QStringLiteral("значительно меньше."),
    };
    return lines.join(kCrLf);
}

void Form1::info() {
    platform_.message_box(QStringLiteral("Как работать с программой"), help_text(), Platform::Icon::Information);
}

void Form1::Command2_Click() { info(); }

bool Form1::ShellProgramm(const QString& target) { return platform_.open_link(target); }

void Form1::Label10_Click() { ShellProgramm(text_of(kAuthorWebAddress)); }

void Form1::Label15_Click() { ShellProgramm(QStringLiteral("mailto:") + text_of(kAuthorEmail)); }

// ---------------------------------------------------------------- the About face

void Form1::open_midi_output() {
    player_.open_midi_output();
    Timer3->start();
}

void Form1::Timer3_Timer() {
    if (!player_.tick()) Timer3->stop();
}

void Form1::show_working_face(bool working) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Shape1, Shape2, Shape3, Text1, Label3, Label2, Label1, Text2, Text3, Label4, Label5, Check1, Check2,
             Check3, Check4, Check5, Command1, Command2, Command3, Drive1, Dir1, File1, Picture1})
        control->setVisible(working);
    Label10->setVisible(!working);
    Label15->setVisible(!working);
    Command7->setVisible(!working);
}

void Form1::Command3_Click() {
    setWindowTitle(kAboutCaption);
    about_shown_ = true;
    tune_table_ = compose_tune(settings_).table;
    open_midi_output();
    printed_lines_.clear();
    update();
    show_working_face(false);
    if (!run_active_) Picture2->hide();  // during a run its progress stays in view
    Command4->setText(QStringLiteral("Отмена"));
    Command4->move(to_pixels(4560), to_pixels(3360));
    platform_.process_events();
    printed_lines_ = {QString(), QString(), QString(35, ' ') + QStringLiteral("Vuzuduzi-2.")};
    update();
}

void Form1::Command7_Click() {
    setWindowTitle(kTitle);
    about_shown_ = false;
    printed_lines_.clear();
    update();
    Timer3->stop();
    player_.close();
    show_working_face(true);
    Picture2->show();
    Command4->setText(QStringLiteral("Выход"));
    place(Command4, 7200, 2880, 735, 375);
}

void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (printed_lines_.isEmpty()) return;
    QPainter painter(this);
    const QFontMetrics metrics(font());
    int baseline = metrics.ascent();
    for (const QString& line : printed_lines_) {
        painter.drawText(0, baseline, line);
        baseline += metrics.height();
    }
}

}  // namespace vz
