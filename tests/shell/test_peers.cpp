// Frames, the registry of running copies, broadcasts and the palette protocol.
#include "ShellTestUtil.h"

#include "palette/RichColor.h"
#include "shell/base/PeerLink.h"
#include "shell/base/PeerProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool SpinUntil(const std::function<bool()>& Done, int TimeoutMs = 5000)
{
    QDeadlineTimer deadline(TimeoutMs);
    while (!Done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return Done();
}

TPeerMessage Sample(const char* Name = "WM_KV_SEL_PAL")
{
    TPeerMessage m;
    m.Name = QString::fromLatin1(Name);
    m.WParam = 0xFEDCBA9876543210ull;
    m.LParam = -5;
    m.Data = QByteArray("\0\x01payload\xff", 11);
    return m;
}

TEST(Frames, RoundTripWhateverTheChunksAre)
{
    const TPeerMessage a = Sample();
    TPeerMessage b = Sample("WM_KV_PAL_GHG");
    b.Data.clear();
    const QByteArray bytes = EncodeFrame(a) + EncodeFrame(b);
    for (const int chunk : {1, 3, 7, static_cast<int>(bytes.size())}) {
        TFrameDecoder decoder;
        QList<TPeerMessage> got;
        for (qsizetype at = 0; at < bytes.size(); at += chunk) {
            decoder.Feed(bytes.mid(at, chunk));
            TPeerMessage m;
            while (decoder.Next(m))
                got << m;
        }
        ASSERT_EQ(got.size(), 2) << chunk;
        EXPECT_EQ(got[0], a);
        EXPECT_EQ(got[1], b);
        EXPECT_FALSE(decoder.Failed());
        EXPECT_EQ(decoder.Pending(), 0);
    }
}

TEST(Frames, MalformedFramesFailTheConnection)
{
    const QByteArray good = EncodeFrame(Sample());
    QByteArray oversize = good;
    qToBigEndian<quint32>(static_cast<quint32>(kMaxFrameBodySize + 1), oversize.data() + 4);
    QByteArray trailing = good;
    qToBigEndian<quint32>(qFromBigEndian<quint32>(good.constData() + 4) + 2, trailing.data() + 4);
    trailing.append("xx");
    QByteArray shortBody = good;
    qToBigEndian<quint32>(qFromBigEndian<quint32>(good.constData() + 4) - 3, shortBody.data() + 4);
    shortBody.chop(3);
    struct Case {
        const char* Name;
        QByteArray Bytes;
    };
    const Case cases[] = {
        {"wrong magic", "KVX1" + good.mid(4)},
        {"wrong magic, first bytes only", "HT"},
        {"length beyond the cap", oversize},
        {"body longer than its fields", trailing},
        {"body shorter than its fields", shortBody},
    };
    for (const Case& c : cases) {
        TFrameDecoder decoder;
        decoder.Feed(c.Bytes);
        TPeerMessage m;
        EXPECT_FALSE(decoder.Next(m)) << c.Name;
        EXPECT_TRUE(decoder.Failed()) << c.Name;
        // Nothing after a broken frame is believed.
        decoder.Feed(good);
        EXPECT_FALSE(decoder.Next(m)) << c.Name;
    }
}

class PeerLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FDir.isValid()); }
    QString Folder() const { return FDir.path() + QStringLiteral("/peers/"); }
    QTemporaryDir FDir;
};

TEST_F(PeerLinkTest, CopiesFindEachOtherAndBroadcastsReachOnlyTheOthers)
{
    TPeerLink one(Folder()), two(Folder()), three(Folder());
    QList<TPeerMessage> atOne, atTwo, atThree;
    one.OnMessage = [&](const TPeerMessage& m) { atOne << m; };
    two.OnMessage = [&](const TPeerMessage& m) { atTwo << m; };
    three.OnMessage = [&](const TPeerMessage& m) { atThree << m; };
    ASSERT_TRUE(one.Open());
    ASSERT_TRUE(two.Open());
    ASSERT_TRUE(three.Open());
    EXPECT_NE(one.Handle(), two.Handle());
    EXPECT_EQ(QFile::permissions(Folder()) & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);

    QList<quint64> peers = one.Peers();
    std::sort(peers.begin(), peers.end());
    QList<quint64> expected = {two.Handle(), three.Handle()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(peers, expected);

    EXPECT_EQ(one.Broadcast(PaletteChangedMessage(one.Handle())), 2);
    ASSERT_TRUE(SpinUntil([&] { return atTwo.size() == 1 && atThree.size() == 1; }));
    EXPECT_EQ(atTwo[0].WParam, one.Handle());
    EXPECT_TRUE(atOne.isEmpty());

    EXPECT_TRUE(two.SendTo(three.Handle(), RequestPaletteMessage(two.Handle())));
    ASSERT_TRUE(SpinUntil([&] { return atThree.size() == 2; }));
    EXPECT_EQ(atThree[1].Name, QStringLiteral("WM_KV_REQ_PAL"));
    EXPECT_EQ(atTwo.size(), 1);

    // A copy that ends leaves the registry.
    three.Close();
    EXPECT_EQ(one.Peers(), QList<quint64> {two.Handle()});
}

TEST_F(PeerLinkTest, TheSocketOfACrashedCopyIsRemovedByTheFirstSend)
{
    TPeerLink one(Folder());
    ASSERT_TRUE(one.Open());
    const QString stale = Folder() + QStringLiteral("00000000deadbeef.sock");
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(stale);
        std::memcpy(address.sun_path, path.constData(), path.size());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    EXPECT_EQ(one.Peers(), QList<quint64> {0xdeadbeefull});
    EXPECT_EQ(one.Broadcast(PaletteChangedMessage(one.Handle())), 0);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(one.Peers().isEmpty());
    EXPECT_FALSE(one.SendTo(0xdeadbeefull, PaletteChangedMessage(one.Handle())));
}

// Two copies in one process trade a whole collection the way the protocol asks: a change
// announced by one makes the other request it, and the reply replaces its collection.
TEST_F(PeerLinkTest, AnAnnouncedChangeBringsTheWholeCollectionOver)
{
    TRichPaletteList docA, docB;
    // Large enough not to fit a socket buffer at once.
    FillCollection(docA, QStringLiteral("from A"), 30, 400);
    FillCollection(docB, QStringLiteral("from B"), 1, 1);

    TPeerLink a(Folder()), b(Folder());
    auto wire = [](TPeerLink& link, TRichPaletteList& doc) {
        link.OnMessage = [&link, &doc](const TPeerMessage& m) {
            const TPeerAction action = DecidePeerAction(m, link.Handle(), doc.Count());
            switch (action.Kind) {
            case TPeerActionKind::RequestCollectionFrom:
                link.SendTo(action.Peer, RequestPaletteMessage(link.Handle()));
                break;
            case TPeerActionKind::SendCollectionTo:
                link.SendTo(action.Peer, CollectionMessage(link.Handle(), doc));
                break;
            case TPeerActionKind::ReplaceCollection: {
                TRichPaletteList incoming;
                if (ReadCollectionMessage(m, incoming))
                    doc.Swap(incoming);
                break;
            }
            default: break;
            }
        };
    };
    wire(a, docA);
    wire(b, docB);
    ASSERT_TRUE(a.Open());
    ASSERT_TRUE(b.Open());
    ASSERT_GT(CollectionStreamBytes(docA).size(), 256 * 1024);

    a.Broadcast(PaletteChangedMessage(a.Handle()));
    ASSERT_TRUE(SpinUntil([&] { return CollectionTag(docB) == u"from A"; }, 15000));
    EXPECT_EQ(docB.Count(), 30);
    EXPECT_EQ(docB.Items(29)->Count(), 400);
    EXPECT_EQ(CollectionTag(docA), QStringLiteral("from A"));
}

TEST(PeerProtocol, DecisionsFollowTheMessageAndIgnoreTheCopysOwn)
{
    const quint64 own = 7, other = 9;
    auto msg = [](const char* name, quint64 w, qint64 l) {
        TPeerMessage m;
        m.Name = QString::fromLatin1(name);
        m.WParam = w;
        m.LParam = l;
        return m;
    };
    struct Case {
        const char* Name;
        TPeerMessage Message;
        TPeerAction Expected;
    };
    using K = TPeerActionKind;
    const Case cases[] = {
        {"change from another", msg("WM_KV_PAL_GHG", other, 0), {K::RequestCollectionFrom, other, 0}},
        {"own change", msg("WM_KV_PAL_GHG", own, 0), {}},
        {"request from another", msg("WM_KV_REQ_PAL", other, 1), {K::SendCollectionTo, other, 0}},
        {"own request", msg("WM_KV_REQ_PAL", own, 1), {}},
        {"view mode 2", msg("WM_KV_PAL_MODE", other, 2), {K::SetViewMode, 0, 2}},
        {"view mode 3", msg("WM_KV_PAL_MODE", other, 3), {}},
        {"view mode -1", msg("WM_KV_PAL_MODE", other, -1), {}},
        {"own view mode", msg("WM_KV_PAL_MODE", own, 1), {}},
        {"select 0", msg("WM_KV_SEL_PAL", other, 0), {K::SelectPalette, 0, 0}},
        {"select last", msg("WM_KV_SEL_PAL", other, 2), {K::SelectPalette, 0, 2}},
        {"select past the end", msg("WM_KV_SEL_PAL", other, 3), {}},
        {"own select", msg("WM_KV_SEL_PAL", own, 0), {}},
        {"unknown", msg("WM_SOMETHING", other, 0), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecidePeerAction(c.Message, own, 3), c.Expected) << c.Name;

    TRichPaletteList doc;
    FillCollection(doc, QStringLiteral("doc"), 1, 2);
    EXPECT_EQ(DecidePeerAction(CollectionMessage(other, doc), own, 3).Kind, K::ReplaceCollection);
    TPeerMessage otherId = CollectionMessage(other, doc);
    otherId.LParam = 1379;
    EXPECT_EQ(DecidePeerAction(otherId, own, 3).Kind, K::None);
}

TEST(PeerProtocol, CollectionMessagesCarryFormat200AndNothingElseIsRead)
{
    TRichPaletteList doc;
    FillCollection(doc, QStringLiteral("Sammlung ä"), 2, 3);
    TPeerMessage m = CollectionMessage(5, doc);
    EXPECT_EQ(m.Name, QStringLiteral("WM_COPYDATA"));
    EXPECT_EQ(m.LParam, 1378);
    ASSERT_GE(m.Data.size(), 4);
    EXPECT_EQ(qFromLittleEndian<qint32>(m.Data.constData()), 200);

    TRichPaletteList back;
    ASSERT_TRUE(ReadCollectionMessage(m, back));
    EXPECT_EQ(CollectionTag(back), QStringLiteral("Sammlung ä"));
    EXPECT_EQ(back.Count(), 2);

    TPeerMessage format100 = m;
    qToLittleEndian<qint32>(100, format100.Data.data());
    TRichPaletteList untouched;
    EXPECT_EQ(ReadCollectionMessage(format100, untouched).Error, TPaletteFileError::UnknownFormat);
    EXPECT_EQ(untouched.Count(), 0);
}

TEST(PeerProtocol, BroadcastLogLines)
{
    EXPECT_EQ(BroadcastLogText(RequestPaletteMessage(3), 4), QStringLiteral("Sender: 3, Destination: 4"));
    EXPECT_EQ(BroadcastLogText(PaletteChangedMessage(3)), QStringLiteral("Sender: 3"));
    EXPECT_EQ(BroadcastLogText(SelectPaletteMessage(3, 2)), QStringLiteral("Sender: 3, PaletteIndex: 2"));
    EXPECT_EQ(BroadcastLogText(PaletteModeMessage(3, 1)), QStringLiteral("Sender: 3, Mode: 1"));
}

} // namespace
