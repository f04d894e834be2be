#include "app/form1.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include "app/progress_strips.h"
#include "app/window_text.h"
#include "gif/gif_blocks.h"
#include "run/run_values.h"
#include "run/stored_choices.h"

namespace vz {

namespace {

bool is_enter(const QKeyEvent& event) { return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter; }

// A number for a single-precision field, as the window shows it ("323", "12.5").
QString number_text(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

}  // namespace

Form1::Form1(Platform& platform, SettingsStore& settings) : platform_(platform) {
    build_controls(settings);
    connect_handlers();
}

Form1::~Form1() = default;

void Form1::build_controls(SettingsStore& settings) {
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

    Label2 = label(tr("Количество картинок"), 360, 360, 2295, 255);
    Label2->setFont(sans_serif);
    Text1 = new QLineEdit(this);
    place(Text1, 2640, 240, 615, 375);
    Text1->setFont(sans_serif);
    Label1 = label(tr("Размер"), 960, 960, 855, 255);
    Label1->setFont(sans_serif);
    Text2 = new QLineEdit(this);
    place(Text2, 2640, 960, 615, 375);
    Text2->setFont(sans_serif);
    Text2->installEventFilter(this);
    Label3 = label(tr("(ширина и высота в пикселях)"), 240, 1200, 2535, 255);

    // The option boxes reach to the frame's right edge, so that their
    // captions fit in fonts wider than the one the layout was drawn for.
    constexpr int kOptionWidth = 3075;
    Check2 = check(tr("Мобильный размер 128 x 128"), 240, 1680, kOptionWidth, 300);
    Check3 = check(tr("Фон должен быть прозрачным"), 240, 1920, kOptionWidth, 375);
    Check1 = check(tr("Сжимать данные изображений"), 240, 2280, kOptionWidth, 375);
    Check1->setChecked(true);
    Check4 = check(tr("Повторить предыдущий рисунок"), 240, 2640, kOptionWidth, 345);
    Check4->setEnabled(false);

    Command1 = new ColourButton(RunController::idle_caption(), this);
    place(Command1, 360, 3240, 2775, 615);
    Label7 = label(QString(), 120, 3960, 1215, 255);
    Label9 = label(QString(), 1320, 3960, 2175, 255);
    Picture1 = new ProgressStrip(this);
    place(Picture1, 3600, 3600, 4335, 255);
    Picture2 = new ProgressStrip(this);
    place(Picture2, 3600, 3960, 4335, 255);
    for (QLabel* picture : {Picture1, Picture2}) picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label4 = label(tr("Место сохранения :"), 3840, 120, 1815, 255);
    Drive1 = new DriveList(this);
    place(Drive1, 3480, 360, 2175, 315);
    Dir1 = new FolderList(this);
    place(Dir1, 3480, 840, 2175, 1665);
    File1 = new QListWidget(this);
    place(File1, 5760, 840, 2175, 1845);
    Command2 = button(tr("Помощь"), 5760, 240, 855, 375);
    Command3 = button(tr("О программе"), 6720, 240, 1215, 375);
    Label5 = label(tr("Путь и имя будущего файла :"), 3480, 2640, 2295, 255);
    Text3 = new QLineEdit(this);
    place(Text3, 3480, 2940, 3615, 315);
    Command4 = button(tr("Выход"), 7200, 2880, 735, 375);
    Check5 = check(tr("В конце открыть для просмотра"), 3600, 3360, 2895, 195);

    // The About face's controls, hidden on the working face.
    Command7 = button(tr("Перейти к программе"), 2520, 3360, 1815, 375);
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

    // Names for assistive technology where no caption names a control; a
    // buddy label would carry its trailing " :" into the name.
    const std::pair<QWidget*, QString> accessible_names[] = {
        {Text1, tr("Количество картинок")},
        {Text2, tr("Размер (ширина и высота в пикселях)")},
        {Text3, tr("Путь и имя будущего файла")},
        {Drive1, tr("Место сохранения")},
        {Dir1, tr("Папка")},
        {File1, tr("Файлы в папке")},
        {Picture1, tr("Создание картинки")},
        {Picture2, tr("Создание файла")}};
    for (const auto& [control, name] : accessible_names) control->setAccessibleName(name);

    // Tab follows the visual order: the left column top to bottom, then the
    // right part row by row, then the About face's links and its way back.
    // Hidden and disabled controls are passed over.
    QWidget* const tab_order[] = {Text1,  Text2,    Check2,   Check3, Check1, Check4,  Command1, Drive1,  Command2,
                                  Command3, Dir1,   File1,    Text3,  Command4, Check5, Label10, Label15, Command7};
    for (std::size_t i = 1; i < std::size(tab_order); ++i)
        setTabOrder(tab_order[i - 1], tab_order[i]);
    File1->installEventFilter(this);

    // Labels show their texts as typed, paths included, never as markup.
    for (QLabel* label : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        label->setTextFormat(Qt::PlainText);

    std::vector<QWidget*> working = {Shape1, Shape2, Shape3, Text1,  Label3,   Label2,   Label1,   Text2,
                                     Text3,  Label4, Label5, Check1, Check2,   Check3,   Check4,   Check5,
                                     Command1, Command2, Command3, Drive1, Dir1, File1, Picture1};
    settings_ = std::make_unique<WindowSettings>(settings, *this);
    location_ = std::make_unique<SaveLocation>(Drive1, Dir1, File1, Text3);
    about_ = std::make_unique<AboutFace>(
        AboutFace::Controls{this, Command3, Command4, Command7, Label10, Label15, Picture2, Timer3, std::move(working)},
        platform_,
        settings);
    run_ = std::make_unique<RunController>(RunController::Controls{this, Command1, Check1, Check3, Check4, Check5, Text1,
                                                                   Text2, Text3, Label7, Label9, Picture1, Picture2,
                                                                   Timer1},
                                           platform_, boxes_, *location_, *about_);
    run_->set_command1_colour(kInfoBackgroundColour);
}

void Form1::connect_handlers() {
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

// ---------------------------------------------------------------- load and unload

void Form1::Form_Load() {
    run_->window_opened();
    const StoredWindow stored = settings_->read();
    location_->load(stored.folder);
    Text1->setText(stored.frame_count);
    Text2->setText(stored.picture_size);
    Check2->setChecked(stored.mobile_size);
    Check3->setChecked(stored.transparent);
    settings_->place_window(stored.left, stored.top);
    Check5->setChecked(stored.open_at_end);
    saved_size_ = static_cast<float>(leading_number(bytes_of(Text2->text())));
    run_->reset();
    location_->propose_next_name();
    run_->clear_progress();
    about_->compose();
}

void Form1::Form_Unload() {
    const std::optional<QString> problem = settings_->write({location_->folder(), Text1->text(), Text2->text(),
                                                             Check2->isChecked(), Check3->isChecked(),
                                                             Check5->isChecked()});
    // Stored first; then a run ends at its next check point, removing its file.
    run_->window_closed();
    about_->stop();
    if (!problem) return;
    if (quiet_)  // nobody is there to read a box; the session's log may be
        qWarning("%s", qUtf8Printable(QString(*problem).replace(kCrLf, QStringLiteral(" "))));
    else
        boxes_.show(tr("Ошибка"), *problem, Platform::Icon::Warning);
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    // A run in progress ends the program itself at its next check point,
    // after deleting its partial file and saying so. A run that has ended,
    // its message waiting for an open box, is done with its file; after a
    // signal nobody reads that message, so the program ends now.
    if (!(quiet_ ? run_->writing() : run_->running())) run_->terminate_program();
}

void Form1::end_on_signal() {
    quiet_ = true;
    run_->set_quiet();
    if (run_->window_open())
        close();
    else
        run_->terminate_program();  // already closing: a second signal only asks again
}

// ---------------------------------------------------------------- small handlers

void Form1::Check2_Click() {
    if (Check2->isChecked()) {
        saved_size_ = static_cast<float>(leading_number(bytes_of(Text2->text())));
        Text2->setText(QString::number(kMobileSize));
    } else {
        Text2->setText(number_text(saved_size_));
    }
}

void Form1::Text2_LostFocus() {
    if (Check2->isChecked()) Text2->setText(QString::number(kMobileSize));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2 && event->type() == QEvent::FocusOut) Text2_LostFocus();
    // Enter on a file opens it, as a double-click does after its click.
    if (watched == File1 && event->type() == QEvent::KeyPress && is_enter(*static_cast<QKeyEvent*>(event)) &&
        File1->currentItem()) {
        File1_Click();
        File1_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Enter presses the focused button, as Space does; buttons outside a
    // dialog leave Enter to their window.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && is_enter(*event)) {
        button->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- help and links

QString Form1::help_text() {
    // One text per line, so that a translation keeps the lines as they are.
    const QStringList lines = {
        tr("  Программа \"Vuzuduzi-2\" создаёт анимированные графические"),
        tr("файлыв формате GIF с разноцветными узорами. В том числе и для"),
        tr("мобильных телефонов. Причём, при каждом новом нажатии на кнопку"),
        tr("\"Старт\" она создаёт новый рисунок."),
        QString(),
        tr("  Недостатки этой версии:"),
        QString(),
        tr("1. Используются только 128 цветов. В следующей версии"),
        tr("    количество цветов будет увеличено до 256."),
        QString(),
        tr("3. В режиме со сжатием программа работает довольно медленно."),
        QString(),
        tr("  Вы можете сначала создать файл без сжатия, он будет создаваться"),
        tr("быстро и иметь большой размер в килобайтах (или даже в"),
        tr("мегабайтах), но если рисунок вам понравится, то вы можете"),
        tr("повторить его уже со сжатием. Тогда файл будет создаваться"),
        tr("медленнее, но зато его размер на жёстком диске будет уже"),
        tr("значительно меньше."),
    };
    return lines.join(kCrLf);
}

void Form1::info() {
    boxes_.show(tr("Как работать с программой"), help_text(), Platform::Icon::Information);
}

void Form1::Label10_Click() { ShellProgramm(text_of(kAuthorWebAddress)); }

void Form1::Label15_Click() { ShellProgramm(QStringLiteral("mailto:") + text_of(kAuthorEmail)); }

void Form1::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    const QStringList& lines = about_->printed_lines();
    if (lines.isEmpty()) return;
    QPainter painter(this);
    const QFontMetrics metrics(font());
    int baseline = metrics.ascent();
    for (const QString& line : lines) {
        painter.drawText(0, baseline, line);
        baseline += metrics.height();
    }
}

}  // namespace vz
