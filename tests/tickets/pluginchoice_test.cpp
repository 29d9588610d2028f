#include "tickets/pluginchoice.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QString sample(const char* file)
{
    return QStringLiteral(PLUGIN_SAMPLES_DIR "/") + QLatin1String(file);
}

// What a panel connected to the choice is told, in order.
struct Heard {
    QStringList events;

    void listen(tickets::PluginChoice& choice)
    {
        QObject::connect(&choice, &tickets::PluginChoice::shownChanged,
                         [this] { events << QStringLiteral("shown"); });
        QObject::connect(&choice, &tickets::PluginChoice::previewSizeChanged, [this](int w, int h) {
            events << QStringLiteral("size %1x%2").arg(w).arg(h);
        });
        QObject::connect(&choice, &tickets::PluginChoice::companyNamesChanged,
                         [this](const QStringList& names) {
                             events << QStringLiteral("companies %1").arg(names.join(u','));
                         });
    }
};

} // namespace

TEST(PluginChoiceTest, LoadsAPluginAndTellsItsSizeAndCompanies)
{
    tickets::PluginChoice choice(std::make_shared<tickets::TicketPluginCache>());
    Heard heard;
    heard.listen(choice);

    ASSERT_TRUE(choice.load(sample("full_ticket.4SP")));
    EXPECT_TRUE(choice.hasPlugin());
    EXPECT_FALSE(choice.comment().isEmpty());
    const PluginInfo& info = choice.info();
    ASSERT_EQ(heard.events.size(), 3);
    EXPECT_EQ(heard.events[0], QStringLiteral("shown"));
    EXPECT_EQ(heard.events[1], QStringLiteral("size %1x%2")
                                   .arg(info[PluginInfo::PreviewWidth])
                                   .arg(info[PluginInfo::PreviewHeight]));
    EXPECT_TRUE(heard.events[2].startsWith(QStringLiteral("companies ")));
    EXPECT_EQ(heard.events[2].count(u','), 2) << "three company names";

    // A plug-in without company names leaves the panel's names as they are.
    heard.events.clear();
    ASSERT_TRUE(choice.load(sample("plain_ticket.4SP")));
    ASSERT_EQ(heard.events.size(), 2);
    EXPECT_TRUE(heard.events[1].startsWith(QStringLiteral("size ")));
}

TEST(PluginChoiceTest, NothingChangesForAFileThatIsNoPlugin)
{
    QTemporaryDir dir;
    const QString garbage = dir.filePath(QStringLiteral("garbage.4SP"));
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a plug-in\n");
    file.close();

    tickets::PluginChoice choice(std::make_shared<tickets::TicketPluginCache>());
    ASSERT_TRUE(choice.load(sample("full_ticket.4SP")));
    const QString comment = choice.comment();
    Heard heard;
    heard.listen(choice);

    EXPECT_FALSE(choice.load(QString()));
    EXPECT_FALSE(choice.load(garbage));
    EXPECT_FALSE(choice.load(dir.filePath(QStringLiteral("missing.4SP"))));
    EXPECT_TRUE(heard.events.isEmpty());
    EXPECT_TRUE(choice.hasPlugin()) << "the plug-in shown before stays";
    EXPECT_EQ(choice.comment(), comment);
    EXPECT_FALSE(choice.diagnosis(garbage).isEmpty()) << "its author learns what is wrong";
}

TEST(PluginChoiceTest, ChoosingAnotherEmptiesTheCompaniesFirstAndClearingForgetsIt)
{
    tickets::PluginChoice choice(std::make_shared<tickets::TicketPluginCache>());
    Heard heard;
    heard.listen(choice);

    EXPECT_FALSE(choice.choose(QStringLiteral("/nonexistent/ticket.4SP")));
    EXPECT_EQ(heard.events, QStringList{QStringLiteral("companies ")})
        << "a failed choice has still let the old names go";

    heard.events.clear();
    ASSERT_TRUE(choice.choose(sample("plain_ticket.4SP")));
    EXPECT_EQ(heard.events.first(), QStringLiteral("companies "));

    heard.events.clear();
    choice.clear();
    EXPECT_EQ(heard.events, QStringList{QStringLiteral("shown")});
    EXPECT_FALSE(choice.hasPlugin());
    EXPECT_TRUE(choice.comment().isEmpty());
    EXPECT_EQ(choice.info()[PluginInfo::PreviewWidth], 0);
}

TEST(PluginChoiceTest, SharesItsCacheWithWhateverDrawsTheTicket)
{
    auto cache = std::make_shared<tickets::TicketPluginCache>();
    tickets::PluginChoice choice(cache);
    ASSERT_TRUE(choice.load(sample("full_ticket.4SP")));
    ASSERT_TRUE(choice.load(sample("full_ticket.4SP")));
    EXPECT_EQ(cache->parseCount(), 1);
    EXPECT_EQ(choice.plugins(), cache);
}
