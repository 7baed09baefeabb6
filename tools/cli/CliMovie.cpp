// korvel-cli's movie commands: scenes written by the scene conventions, and any SWF movie
// looked at, rendered, hit and clicked through our own reader and player.
#include "Cli.h"
#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "movie/MoviePlayer.h"
#include "movie/SwfReader.h"
#include "palette/RichColor.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"
#include "workarea/SceneRoutines.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <map>

namespace {

// ---------------------------------------------------------------------------------------
// Arguments

QSize ParseSize(const QString& text)
{
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    if (parts.size() != 2)
        throw CliError(QStringLiteral("--size must be WIDTHxHEIGHT, not '%1'").arg(text));
    return {ParseIntArg(parts[0], QStringLiteral("the width"), 1, 8192),
            ParseIntArg(parts[1], QStringLiteral("the height"), 1, 8192)};
}

QPointF ParsePoint(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        throw CliError(QStringLiteral("a point is X,Y, not '%1'").arg(text));
    return {ParseDoubleArg(parts[0], QStringLiteral("X")), ParseDoubleArg(parts[1], QStringLiteral("Y"))};
}

// Reads a movie through our reader so that a broken file is reported with its reason
// rather than shown as an empty stage.
struct LoadedMovie {
    QByteArray bytes;
    swf::Movie movie;
};

LoadedMovie ReadMovieArg(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        throw CliError(QStringLiteral("'%1' does not exist").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw CliError(QStringLiteral("'%1' cannot be read").arg(fileName));
    LoadedMovie loaded;
    loaded.bytes = file.readAll();
    swf::ReadResult r = swf::ReadMovie(loaded.bytes);
    if (!r.Ok())
        throw CliError(QStringLiteral("'%1' cannot be read as a movie: %2").arg(fileName, r.message));
    loaded.movie = std::move(r.movie);
    return loaded;
}

QSize StageSize(const swf::Movie& movie)
{
    const swf::Rect& r = movie.header.frameRect;
    return {std::max(1, static_cast<int>(std::lround(r.Width() / 20.0))),
            std::max(1, static_cast<int>(std::lround(r.Height() / 20.0)))};
}

// A player the size of `size` (default: the stage) showing the movie, as the work area
// would: show all, centred, unless told otherwise.
void LoadPlayer(TMoviePlayer& player, const LoadedMovie& loaded, QSize size, int scaleMode = 0, int alignMode = 0)
{
    player.resize(size.isValid() ? size : StageSize(loaded.movie));
    player.SetScaleMode(scaleMode);
    player.SetAlignMode(alignMode);
    if (!player.LoadMovie(0, loaded.bytes))
        throw CliError(QStringLiteral("the player refused the movie"));
}

QSize TakeSize(CliArgs& args)
{
    const QString text = args.takeOption(QStringLiteral("--size"));
    return text.isEmpty() ? QSize() : ParseSize(text);
}

void SavePng(const QImage& image, const QString& fileName)
{
    if (!image.save(fileName, "PNG"))
        throw CliError(QStringLiteral("'%1' could not be written").arg(fileName));
}

void SendMouse(TMoviePlayer& player, QEvent::Type type, QPoint at, Qt::MouseButtons& held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    if (type == QEvent::MouseButtonPress)
        held = Qt::LeftButton;
    else if (type == QEvent::MouseButtonRelease)
        held = Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(player.mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&player, &event);
}

// ---------------------------------------------------------------------------------------
// swfdump

const std::map<int, const char*>& TagNames()
{
    static const std::map<int, const char*> names = {
        {0, "End"}, {1, "ShowFrame"}, {2, "DefineShape"}, {4, "PlaceObject"}, {5, "RemoveObject"},
        {6, "DefineBits"}, {7, "DefineButton"}, {8, "JPEGTables"}, {9, "SetBackgroundColor"}, {10, "DefineFont"},
        {11, "DefineText"}, {12, "DoAction"}, {13, "DefineFontInfo"}, {14, "DefineSound"}, {15, "StartSound"},
        {17, "DefineButtonSound"}, {18, "SoundStreamHead"}, {19, "SoundStreamBlock"}, {20, "DefineBitsLossless"},
        {21, "DefineBitsJPEG2"}, {22, "DefineShape2"}, {23, "DefineButtonCxform"}, {24, "Protect"},
        {26, "PlaceObject2"}, {28, "RemoveObject2"}, {32, "DefineShape3"}, {33, "DefineText2"},
        {34, "DefineButton2"}, {35, "DefineBitsJPEG3"}, {36, "DefineBitsLossless2"}, {37, "DefineEditText"},
        {39, "DefineSprite"}, {43, "FrameLabel"}, {45, "SoundStreamHead2"}, {46, "DefineMorphShape"},
        {48, "DefineFont2"}, {56, "ExportAssets"}, {57, "ImportAssets"}, {58, "EnableDebugger"},
        {59, "DoInitAction"}, {60, "DefineVideoStream"}, {61, "VideoFrame"}, {62, "DefineFontInfo2"},
        {64, "EnableDebugger2"}, {65, "ScriptLimits"}, {66, "SetTabIndex"}, {69, "FileAttributes"},
        {70, "PlaceObject3"}, {71, "ImportAssets2"}, {73, "DefineFontAlignZones"}, {74, "CSMTextSettings"},
        {75, "DefineFont3"}, {76, "SymbolClass"}, {77, "Metadata"}, {78, "DefineScalingGrid"}, {82, "DoABC"},
        {83, "DefineShape4"}, {84, "DefineMorphShape2"}, {86, "DefineSceneAndFrameLabelData"},
        {87, "DefineBinaryData"}, {88, "DefineFontName"}, {89, "StartSound2"}, {90, "DefineBitsJPEG4"},
        {91, "DefineFont4"},
    };
    return names;
}

QString TagName(int code)
{
    const auto it = TagNames().find(code);
    return it == TagNames().end() ? QStringLiteral("Unknown") : QString::fromLatin1(it->second);
}

QString EventNames(std::uint32_t events)
{
    static const char* const names[] = {"load",     "enterFrame",     "unload",  "mouseMove", "mouseDown",
                                        "mouseUp",  "keyDown",        "keyUp",   "data",      "initialize",
                                        "press",    "release",        "releaseOutside", "rollOver", "rollOut",
                                        "dragOver", "dragOut",        "keyPress", "construct"};
    QStringList out;
    for (int bit = 0; bit < static_cast<int>(std::size(names)); ++bit)
        if (events & (1u << bit))
            out << QLatin1String(names[bit]);
    return out.join(QLatin1Char('|'));
}

// The FSCommand an action list sends with ActionGetURL ("FSCommand:" + command, argument
// as the target), which is how our clips talk to the main window.
bool FindFSCommand(const QByteArray& actions, QString& command, QString& argument)
{
    qsizetype i = 0;
    while (i < actions.size()) {
        const auto code = static_cast<std::uint8_t>(actions[i]);
        if (code == 0)
            return false;
        if (code < 0x80) {
            ++i;
            continue;
        }
        if (i + 3 > actions.size())
            return false;
        const qsizetype len = static_cast<std::uint8_t>(actions[i + 1]) | (static_cast<std::uint8_t>(actions[i + 2]) << 8);
        if (i + 3 + len > actions.size())
            return false;
        if (code == 0x83) {
            const QByteArray body = actions.mid(i + 3, len);
            const qsizetype z = body.indexOf('\0');
            if (z >= 0) {
                const QString url = QString::fromUtf8(body.left(z));
                const qsizetype z2 = body.indexOf('\0', z + 1);
                if (url.startsWith(QLatin1String("FSCommand:"), Qt::CaseInsensitive)) {
                    command = url.mid(10);
                    argument = QString::fromUtf8(body.mid(z + 1, (z2 < 0 ? body.size() : z2) - z - 1));
                    return true;
                }
            }
        }
        i += 3 + len;
    }
    return false;
}

QString Px(double twips) { return QString::number(twips / 20.0, 'g', 10); }

QJsonObject MatrixJson(const swf::Matrix& m)
{
    return QJsonObject{{QStringLiteral("a"), m.A()},         {QStringLiteral("b"), m.B()},
                       {QStringLiteral("c"), m.C()},         {QStringLiteral("d"), m.D()},
                       {QStringLiteral("tx"), m.Tx() / 20.0}, {QStringLiteral("ty"), m.Ty() / 20.0}};
}

QString MatrixText(const swf::Matrix& m)
{
    return QStringLiteral("[%1 %2 %3 %4 %5 %6]")
        .arg(m.A(), 0, 'g', 6)
        .arg(m.B(), 0, 'g', 6)
        .arg(m.C(), 0, 'g', 6)
        .arg(m.D(), 0, 'g', 6)
        .arg(Px(m.Tx()), Px(m.Ty()));
}

QJsonObject CxformJson(const swf::ColorTransform& c)
{
    return QJsonObject{{QStringLiteral("mult"), QJsonArray{c.rMult, c.gMult, c.bMult, c.aMult}},
                       {QStringLiteral("add"), QJsonArray{c.rAdd, c.gAdd, c.bAdd, c.aAdd}}};
}

QString RgbaText(const swf::Rgba& c)
{
    return QStringLiteral("#%1%2%3/%4")
        .arg(c.r, 2, 16, QLatin1Char('0'))
        .arg(c.g, 2, 16, QLatin1Char('0'))
        .arg(c.b, 2, 16, QLatin1Char('0'))
        .arg(c.a)
        .toUpper();
}

QJsonObject PlaceJson(const swf::PlaceObject& p)
{
    QJsonObject o{{QStringLiteral("depth"), p.depth}, {QStringLiteral("move"), p.move}};
    if (p.characterId)
        o[QStringLiteral("character")] = *p.characterId;
    if (p.name)
        o[QStringLiteral("name")] = *p.name;
    if (p.matrix)
        o[QStringLiteral("matrix")] = MatrixJson(*p.matrix);
    if (p.colorTransform)
        o[QStringLiteral("colorTransform")] = CxformJson(*p.colorTransform);
    if (p.clipDepth)
        o[QStringLiteral("clipDepth")] = *p.clipDepth;
    if (p.filters)
        o[QStringLiteral("filters")] = static_cast<int>(p.filters->size());
    QJsonArray actions;
    for (const swf::ClipActionRecord& r : p.clipActions) {
        QJsonObject a{{QStringLiteral("events"), EventNames(r.events)}, {QStringLiteral("bytes"), r.actions.size()}};
        QString command, argument;
        if (FindFSCommand(r.actions, command, argument)) {
            a[QStringLiteral("fscommand")] = command;
            a[QStringLiteral("argument")] = argument;
        }
        actions.append(a);
    }
    if (!actions.isEmpty())
        o[QStringLiteral("clipActions")] = actions;
    return o;
}

QString PlaceText(const swf::PlaceObject& p, const QString& indent)
{
    QString s = QStringLiteral(" depth %1").arg(p.depth);
    if (p.move)
        s += QStringLiteral(" move");
    if (p.characterId)
        s += QStringLiteral(" character %1").arg(*p.characterId);
    if (p.name)
        s += QStringLiteral(" name \"%1\"").arg(*p.name);
    if (p.matrix)
        s += QStringLiteral(" matrix ") + MatrixText(*p.matrix);
    if (p.colorTransform) {
        const swf::ColorTransform& c = *p.colorTransform;
        s += QStringLiteral(" cxform *(%1 %2 %3 %4) +(%5 %6 %7 %8)")
                 .arg(c.rMult)
                 .arg(c.gMult)
                 .arg(c.bMult)
                 .arg(c.aMult)
                 .arg(c.rAdd)
                 .arg(c.gAdd)
                 .arg(c.bAdd)
                 .arg(c.aAdd);
    }
    if (p.clipDepth)
        s += QStringLiteral(" clipDepth %1").arg(*p.clipDepth);
    if (p.filters)
        s += QStringLiteral(" filters %1").arg(p.filters->size());
    for (const swf::ClipActionRecord& r : p.clipActions) {
        s += QStringLiteral("\n%1    on %2:").arg(indent, EventNames(r.events));
        QString command, argument;
        if (FindFSCommand(r.actions, command, argument))
            s += QStringLiteral(" FSCommand \"%1\" \"%2\"").arg(command, argument);
        else
            s += QStringLiteral(" %1 bytes of actions").arg(r.actions.size());
    }
    return s;
}

// What else is worth a glance in a tag, in one line.
QString TagDetail(const swf::Tag& t)
{
    if (const auto* s = t.As<swf::ShapeDef>())
        return QStringLiteral(" id %1 bounds (%2,%3)-(%4,%5) fills %6 lines %7 records %8")
            .arg(s->id)
            .arg(Px(s->bounds.xMin), Px(s->bounds.yMin), Px(s->bounds.xMax), Px(s->bounds.yMax))
            .arg(s->fillStyles.size())
            .arg(s->lineStyles.size())
            .arg(s->records.size());
    if (const auto* e = t.As<swf::EditTextDef>())
        return QStringLiteral(" id %1 font %2 height %3 color %4 align %5 text \"%6\"")
            .arg(e->id)
            .arg(e->fontId ? QString::number(*e->fontId) : QStringLiteral("-"))
            .arg(Px(e->fontHeight))
            .arg(e->color ? RgbaText(*e->color) : QStringLiteral("-"))
            .arg(e->align)
            .arg(e->initialText.value_or(QString()));
    if (const auto* f = t.As<swf::FontDef>())
        return QStringLiteral(" id %1 \"%2\"%3 glyphs %4").arg(f->id).arg(f->name, f->bold ? QStringLiteral(" bold") : QString()).arg(f->glyphs.size());
    if (const auto* b = t.As<swf::SetBackgroundColor>())
        return QLatin1Char(' ') + RgbaText(b->color).left(7);
    if (const auto* a = t.As<swf::DoAction>())
        return QStringLiteral(" %1 bytes").arg(a->actions.size());
    if (const auto* l = t.As<swf::FrameLabel>())
        return QStringLiteral(" \"%1\"").arg(l->name);
    if (const auto* r = t.As<swf::RemoveObject>())
        return QStringLiteral(" depth %1").arg(r->depth);
    if (const auto id = t.DefinedId())
        return QStringLiteral(" id %1").arg(*id);
    return QString();
}

void DumpTags(const std::vector<swf::Tag>& tags, const QString& indent, QString& out, QJsonArray& json)
{
    for (const swf::Tag& t : tags) {
        QJsonObject o{{QStringLiteral("code"), t.code}, {QStringLiteral("name"), TagName(t.code)}};
        out += QStringLiteral("%1%2 %3").arg(indent).arg(t.code).arg(TagName(t.code));
        if (const auto* p = t.As<swf::PlaceObject>()) {
            out += PlaceText(*p, indent);
            o[QStringLiteral("place")] = PlaceJson(*p);
        } else {
            const QString detail = TagDetail(t);
            out += detail;
            if (!detail.isEmpty())
                o[QStringLiteral("detail")] = detail.trimmed();
        }
        out += QLatin1Char('\n');
        if (const auto* s = t.As<swf::SpriteDef>()) {
            QJsonArray inner;
            DumpTags(s->tags, indent + QStringLiteral("    "), out, inner);
            o[QStringLiteral("id")] = s->id;
            o[QStringLiteral("frames")] = s->frameCount;
            o[QStringLiteral("tags")] = inner;
        }
        json.append(o);
    }
}

// ---------------------------------------------------------------------------------------
// The viewer

class TViewer : public QWidget {
public:
    TViewer(const LoadedMovie& loaded, QSize size, const QString& title)
    {
        setWindowTitle(QStringLiteral("korvel-cli view — %1").arg(title));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        FPlayer = new TMoviePlayer(this);
        FPlayer->setMinimumSize(size);
        layout->addWidget(FPlayer, 1);

        auto* bar = new QWidget(this);
        auto* row = new QHBoxLayout(bar);
        row->setContentsMargins(6, 4, 6, 4);
        row->addWidget(new QLabel(QStringLiteral("Scale:"), bar));
        FScale = new QComboBox(bar);
        for (const auto& [label, mode] : {std::pair{"0 show all", 0}, std::pair{"1 no border", 1},
                                          std::pair{"2 exact fit", 2}, std::pair{"3 no scaling", 3}})
            FScale->addItem(QString::fromLatin1(label), mode);
        row->addWidget(FScale);
        row->addWidget(new QLabel(QStringLiteral("Align:"), bar));
        FAlign = new QComboBox(bar);
        for (const auto& [label, code] :
             {std::pair{"0 centre", 0}, std::pair{"1 left", 1}, std::pair{"2 right", 2}, std::pair{"4 top", 4},
              std::pair{"5 top left", 5}, std::pair{"6 top right", 6}, std::pair{"8 bottom", 8},
              std::pair{"9 bottom left", 9}, std::pair{"10 bottom right", 10}})
            FAlign->addItem(QString::fromLatin1(label), code);
        row->addWidget(FAlign);
        row->addStretch(1);
        layout->addWidget(bar);
        FStatus = new QLabel(this);
        FStatus->setTextFormat(Qt::PlainText);
        FStatus->setContentsMargins(6, 3, 6, 3);
        FStatus->setFrameShape(QFrame::StyledPanel);
        // A long clip name must not widen the window past the player.
        FStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        layout->addWidget(FStatus);

        QObject::connect(FScale, &QComboBox::currentIndexChanged, this,
                         [this] { FPlayer->SetScaleMode(FScale->currentData().toInt()); });
        QObject::connect(FAlign, &QComboBox::currentIndexChanged, this,
                         [this] { FPlayer->SetAlignMode(FAlign->currentData().toInt()); });
        FPlayer->OnFSCommand = [this](TObject*, const QString& command, const QString& argument) {
            FLastCommand = command + QLatin1Char(' ') + argument;
            ShowStatus();
        };
        FPlayer->installEventFilter(this);
        FPlayer->LoadMovie(0, loaded.bytes);
        ShowStatus();
    }

    TMoviePlayer& Player() { return *FPlayer; }

    // The clip under a point of the player, as a page asks for it.
    void Hover(QPoint at)
    {
        FClip = FPlayer->Stage().IsLoaded() ? GetClipNameAt(*FPlayer, at) : QString();
        FMouse = FPlayer->WidgetToStage(QPointF(at));
        ShowStatus();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == FPlayer && event->type() == QEvent::MouseMove)
            Hover(static_cast<QMouseEvent*>(event)->position().toPoint());
        return QWidget::eventFilter(watched, event);
    }

private:
    void ShowStatus()
    {
        const QString clip = FClip.isEmpty() ? QStringLiteral("''") : FClip;
        // Two short lines, so that a small stage still shows both answers whole.
        FStatus->setText(QStringLiteral("GetClipName: %1\nFSCommand: %2   (stage %3, %4)")
                             .arg(clip, FLastCommand.isEmpty() ? QStringLiteral("-") : FLastCommand)
                             .arg(FMouse.x(), 0, 'f', 1)
                             .arg(FMouse.y(), 0, 'f', 1));
    }

    TMoviePlayer* FPlayer = nullptr;
    QComboBox* FScale = nullptr;
    QComboBox* FAlign = nullptr;
    QLabel* FStatus = nullptr;
    QString FClip;
    QString FLastCommand;
    QPointF FMouse;
};

// ---------------------------------------------------------------------------------------
// Scenes

// Where a scene goes: a movie file, or a picture of it in a player of the scene's size.
enum class SceneOut { Swf, Png };

SceneOut OutKind(const QString& fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("swf"))
        return SceneOut::Swf;
    if (ext == QLatin1String("png"))
        return SceneOut::Png;
    throw CliError(QStringLiteral("'%1': --out must end in .swf or .png").arg(fileName));
}

}  // namespace

int RunRender(CliArgs& args)
{
    const QSize size = TakeSize(args);
    const int scale = ParseIntArg(args.takeOption(QStringLiteral("--scale"), QStringLiteral("0")),
                                  QStringLiteral("--scale"), 0, 3);
    const int align = ParseIntArg(args.takeOption(QStringLiteral("--align"), QStringLiteral("0")),
                                  QStringLiteral("--align"), 0, 15);
    const QString in = args.takePositional(QStringLiteral("movie file"));
    const QString out = args.takePositional(QStringLiteral("output PNG file"));
    args.expectEnd();

    const LoadedMovie loaded = ReadMovieArg(in);
    TMoviePlayer player;
    LoadPlayer(player, loaded, size, scale, align);
    SavePng(player.FrameImage(), out);
    return 0;
}

int RunSwfDump(CliArgs& args)
{
    const bool json = args.takeFlag(QStringLiteral("--json"));
    const QString in = args.takePositional(QStringLiteral("movie file"));
    args.expectEnd();

    const LoadedMovie loaded = ReadMovieArg(in);
    const swf::Header& h = loaded.movie.header;
    QString text = QStringLiteral("SWF version %1%2, stage %3 x %4 px (from %5,%6), %7 fps, %8 frame(s)\n")
                       .arg(h.version)
                       .arg(h.compressed ? QStringLiteral(" (compressed)") : QString())
                       .arg(Px(h.frameRect.Width()), Px(h.frameRect.Height()), Px(h.frameRect.xMin),
                            Px(h.frameRect.yMin))
                       .arg(h.FrameRate())
                       .arg(h.frameCount);
    QJsonArray tags;
    DumpTags(loaded.movie.tags, QString(), text, tags);
    if (json) {
        PrintJson(QJsonObject{
            {QStringLiteral("version"), h.version},
            {QStringLiteral("compressed"), h.compressed},
            {QStringLiteral("stage"), QJsonArray{h.frameRect.xMin / 20.0, h.frameRect.yMin / 20.0,
                                                 h.frameRect.xMax / 20.0, h.frameRect.yMax / 20.0}},
            {QStringLiteral("frameRate"), h.FrameRate()},
            {QStringLiteral("frameCount"), h.frameCount},
            {QStringLiteral("tags"), tags},
        });
    } else {
        PrintText(text);
    }
    return 0;
}

int RunHit(CliArgs& args)
{
    const QSize size = TakeSize(args);
    const QString in = args.takePositional(QStringLiteral("movie file"));
    const double x = ParseDoubleArg(args.takePositional(QStringLiteral("X")), QStringLiteral("X"));
    const double y = ParseDoubleArg(args.takePositional(QStringLiteral("Y")), QStringLiteral("Y"));
    args.expectEnd();

    const LoadedMovie loaded = ReadMovieArg(in);
    TMoviePlayer player;
    LoadPlayer(player, loaded, size);
    player.SendMouseMove(QPoint(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))));
    bool ok = false;
    const QString answer = player.Stage().CallFunction(QString::fromLatin1(kGetClipNameRequest), &ok);
    if (!ok)
        throw CliError(QStringLiteral("the movie does not answer GetClipName (version %1 movie without the callback?)")
                           .arg(loaded.movie.header.version));
    PrintText(ClipNameFromAnswer(answer));
    return 0;
}

int RunPlay(CliArgs& args)
{
    const QSize size = TakeSize(args);
    const QString in = args.takePositional(QStringLiteral("movie file"));
    // The mouse events, in the order given.
    struct Step {
        QEvent::Type type;
        QPoint at;
    };
    std::vector<Step> steps;
    const QStringList rest = args.takeRest();
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString& a = rest[i];
        QEvent::Type type;
        if (a == QLatin1String("--move"))
            type = QEvent::MouseMove;
        else if (a == QLatin1String("--down"))
            type = QEvent::MouseButtonPress;
        else if (a == QLatin1String("--up"))
            type = QEvent::MouseButtonRelease;
        else
            throw CliError(QStringLiteral("unexpected argument '%1'").arg(a));
        if (i + 1 >= rest.size())
            throw CliError(QStringLiteral("%1 needs a point X,Y").arg(a));
        const QPointF p = ParsePoint(rest[++i]);
        steps.push_back({type, QPoint(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())))});
    }
    if (steps.empty())
        throw CliError(QStringLiteral("give the mouse something to do: --move X,Y, --down X,Y, --up X,Y"));

    const LoadedMovie loaded = ReadMovieArg(in);
    TMoviePlayer player;
    LoadPlayer(player, loaded, size);
    player.OnFSCommand = [](TObject*, const QString& command, const QString& argument) {
        PrintText(command + QLatin1Char(' ') + argument);
    };
    Qt::MouseButtons held = Qt::NoButton;
    for (const Step& s : steps) {
        // A press or release elsewhere than the pointer is first a move there, as with a
        // real mouse.
        if (s.type != QEvent::MouseMove)
            SendMouse(player, QEvent::MouseMove, s.at, held);
        SendMouse(player, s.type, s.at, held);
    }
    std::fflush(stdout);
    return 0;
}

// The Harmonies page's scene (CliHarmonies.cpp).
int RunHarmoniesScene(CliArgs& args, const QString& Out, QSize Size);

int RunScene(CliArgs& args)
{
    const QString kind = args.takePositional(QStringLiteral("scene kind (blank, rings or harmonies)"));
    const QString out = args.takeOption(QStringLiteral("--out"));
    if (out.isEmpty())
        throw CliError(QStringLiteral("missing --out FILE.swf or FILE.png"));
    const SceneOut outKind = OutKind(out);
    QSize size = TakeSize(args);
    if (!size.isValid())
        size = QSize(1000, 1000);

    if (kind == QLatin1String("blank")) {
        args.expectEnd();
        try {
            if (outKind == SceneOut::Swf) {
                BuildDefaultScene(nullptr, size, out, QStringLiteral("frmPptBlank"), clWhite);
            } else {
                TMoviePlayer player;
                player.resize(size);
                BuildDefaultScene(&player, size, QString(), QStringLiteral("frmPptBlank"), clWhite);
                SavePng(player.FrameImage(), out);
            }
        } catch (const ESceneWriteError& e) {
            throw CliError(QString::fromStdString(e.what()));
        }
        return 0;
    }
    if (kind == QLatin1String("harmonies"))
        return RunHarmoniesScene(args, out, size);
    if (kind != QLatin1String("rings"))
        throw CliError(QStringLiteral("unknown scene '%1' (use blank, rings or harmonies)").arg(kind));

    const int segments = ParseIntArg(args.takeOption(QStringLiteral("--segments"), QStringLiteral("12")),
                                     QStringLiteral("--segments"), 1, 360);
    const int rings = ParseIntArg(args.takeOption(QStringLiteral("--rings"), QStringLiteral("3")),
                                  QStringLiteral("--rings"), 1, 50);
    const bool forFile = args.takeFlag(QStringLiteral("--file"));
    const bool simple = args.takeFlag(QStringLiteral("--simple"));
    const TColor base = ParseHexArg(args.takeOption(QStringLiteral("--base"), QStringLiteral("FF0000")));
    args.expectEnd();

    // Rings of darker variations round the colour circle, one interactive sector per colour.
    TRichPalette palette;
    const THSB hsb = ColorToHSB(base);
    TColorTransfer transfer;
    palette.AddColorRings(segments, rings, false, 4, 0.8, hsb.H, hsb.S, hsb.B, false, &transfer);
    const bool forPlayer = !forFile;
    TScene scene(QSizeF(size), forPlayer);
    const double w = size.width(), h = size.height();
    const double outer = std::round(std::min(w, h) * 0.45), inner = std::round(outer * 0.3);
    const double t = (outer - inner) / rings;
    const QPointF centre(std::floor(w / 2), std::floor(h / 2));
    const double outline = segments > 72 ? 0 : 1;
    for (int r = 0; r < rings; ++r)
        DrawColorRing(scene, true, cvtNorm, true, clBlack, r * segments, palette, rsSector, -90, 0,
                      r == rings - 1 ? 4 * outline : 0, outline, segments, std::round(inner + t * (r + 1)),
                      std::round(inner + t * r), centre);
    scene.AddGetClipName(simple ? TClipNameVariant::Simple : TClipNameVariant::Detailed);
    try {
        if (outKind == SceneOut::Swf) {
            scene.FinishToFile(out);
        } else {
            TMoviePlayer player;
            player.resize(size);
            scene.FinishToPlayer(player, 0, 0);
            SavePng(player.FrameImage(), out);
        }
    } catch (const ESceneWriteError& e) {
        throw CliError(QString::fromStdString(e.what()));
    }
    return 0;
}

int RunView(CliArgs& args)
{
    const QSize size = TakeSize(args);
    const QString grab = args.takeOption(QStringLiteral("--grab"));
    const QString hover = args.takeOption(QStringLiteral("--hover"));
    const QString in = args.takePositional(QStringLiteral("movie file"));
    args.expectEnd();

    const LoadedMovie loaded = ReadMovieArg(in);
    TViewer viewer(loaded, size.isValid() ? size : StageSize(loaded.movie), QFileInfo(in).fileName());
    viewer.show();
    if (grab.isEmpty())
        return QApplication::exec();

    // Scripted look: optionally hover a point, then photograph the screen and leave.
    int status = 0;
    QTimer::singleShot(400, &viewer, [&] {
        if (!hover.isEmpty()) {
            const QPointF p = ParsePoint(hover);
            const QPoint at(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
            Qt::MouseButtons held = Qt::NoButton;
            SendMouse(viewer.Player(), QEvent::MouseMove, at, held);
        }
        QTimer::singleShot(300, &viewer, [&] {
            QScreen* screen = viewer.screen();
            const QImage shot = screen ? screen->grabWindow(0).toImage() : viewer.grab().toImage();
            if (!shot.save(grab, "PNG")) {
                std::fprintf(stderr, "korvel-cli view: '%s' could not be written\n", grab.toUtf8().constData());
                status = 1;
            }
            QApplication::quit();
        });
    });
    QApplication::exec();
    return status;
}
