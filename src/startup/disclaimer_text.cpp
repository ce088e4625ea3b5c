#include "startup/disclaimer_text.h"

#include <QStringList>

namespace gainbook {

QString disclaimerText() {
    static const QStringList lines = {
        QStringLiteral(
            "The Kestrova Inc or anyone connected to Kestrova Inc is not liable for any"),
        QStringLiteral(
            "damages caused by the installation, running or uninstalling of this software "),
        QStringLiteral("in any machines. "),
        QString(),
        QStringLiteral("Gainbook lets you log on to your broker's web site from its own browser"),
        QStringLiteral("window. Your user name and password go straight from that window to the"),
        QStringLiteral("broker; Gainbook never reads, keeps or sends them. When you press Capture"),
        QStringLiteral("Data, it reads only the buy, sell and tax figures shown on the page."),
        QString(),
        QStringLiteral("Browsing from Gainbook sends nothing to any site beyond what the broker's"),
        QStringLiteral("own pages send, exactly as any other browser would."),
        QString(),
        QStringLiteral(
            "Kestrova Inc is not liable for any damage that arises from data travelling"),
        QStringLiteral("over the network, whoever sends or receives it."),
        QString(),
        QStringLiteral("If that worries you, save the history pages to your disk, disconnect from"),
        QStringLiteral("the network and capture the trades from the saved pages instead."),
        QString(),
        QStringLiteral("The tax records Gainbook produces are meant to be imported into a tax"),
        QStringLiteral("preparation program. Check every figure against your broker's statements"),
        QStringLiteral("before you file: you remain responsible for your return."),
        QString(),
        QStringLiteral("If you find an error, or would like Gainbook to do more, write to us with"),
        QStringLiteral("the broker, the page or file you captured and what you expected to see."),
        QStringLiteral("Reports with a saved page attached are the quickest to fix."),
        QString(),
        QStringLiteral("Gainbook is made by Kestrova Inc. You may copy and pass on this program"),
        QStringLiteral("unchanged and free of charge; please point others to our web site for the"),
        QStringLiteral("latest version and the user guide."),
    };
    return lines.join(QLatin1Char('\n'));
}

QString webUserGuideAddress() {
    return QStringLiteral("https://www.kestrova.example/gainbook/usrguid.htm");
}

} // namespace gainbook
