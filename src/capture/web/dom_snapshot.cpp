#include "capture/web/dom_snapshot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>

#include <memory>

namespace gainbook {

namespace {

// Runs in the application's own script world, so the page's scripts can
// neither see it nor change what it reads. Tag names and texts travel as two
// flat arrays and the whole tree as one JSON text: far quicker to hand over
// than one object per element.
const char* const kSnapshotScript = R"JS(
(function () {
  function snap(doc) {
    var all = doc.all || doc.getElementsByTagName('*');
    var n = all.length, tags = new Array(n), texts = new Array(n);
    for (var i = 0; i < n; i++) {
      var el = all[i];
      tags[i] = String(el.tagName).toUpperCase();
      var t = el.innerText;
      if (t === undefined || t === null) t = el.textContent;
      texts[i] = t === null || t === undefined ? '' : String(t);
    }
    var frames = [], holders = doc.querySelectorAll('frame, iframe');
    for (var j = 0; j < holders.length; j++) {
      var holder = holders[j], inner = null;
      try { inner = holder.contentDocument; } catch (e) { inner = null; }
      if (inner) {
        frames.push(snap(inner));
      } else {
        frames.push({ address: holder.src || '', blocked: true, tags: [], texts: [], frames: [] });
      }
    }
    return { address: doc.URL, tags: tags, texts: texts, frames: frames };
  }
  return JSON.stringify(snap(document));
})()
)JS";

// Frames of other sites are loaded on their own, but not without end: a
// frame that frames itself must not load forever.
constexpr int kMaxFrameDepth = 4;
constexpr int kFrameLoadTimeoutMs = 30000;

using FramePath = QVector<int>;

PageDocument parseDocument(const QJsonObject& object, const FramePath& path,
                           QVector<FramePath>* blocked) {
    PageDocument doc;
    doc.address = object.value(QStringLiteral("address")).toString();
    const QJsonArray tags = object.value(QStringLiteral("tags")).toArray();
    const QJsonArray texts = object.value(QStringLiteral("texts")).toArray();
    doc.elements.reserve(tags.size());
    for (qsizetype i = 0; i < tags.size(); ++i)
        doc.elements.append(PageElement{tags.at(i).toString(), texts.at(i).toString()});
    if (blocked && object.value(QStringLiteral("blocked")).toBool())
        blocked->append(path);
    const QJsonArray frames = object.value(QStringLiteral("frames")).toArray();
    doc.frames.reserve(frames.size());
    for (qsizetype i = 0; i < frames.size(); ++i) {
        FramePath inner = path;
        inner.append(int(i));
        doc.frames.append(parseDocument(frames.at(i).toObject(), inner, blocked));
    }
    return doc;
}

PageDocument& frameAt(PageDocument& root, const FramePath& path) {
    PageDocument* doc = &root;
    for (int index : path)
        doc = &doc->frames[index];
    return *doc;
}

void snapshotPageAt(QWebEnginePage* page, int depth, SnapshotCallback done);

// One snapshot in progress. It lives until it has answered, exactly once.
class SnapshotJob : public QObject {
public:
    SnapshotJob(QWebEnginePage* page, int depth, SnapshotCallback done)
        : page_(page), depth_(depth), done_(std::move(done)) {
        connect(page, &QObject::destroyed, this, [this] {
            finish(std::nullopt, QStringLiteral("The page was closed before it could be read."));
        });
    }

    void start() {
        QPointer<SnapshotJob> self(this);
        page_->runJavaScript(QString::fromUtf8(kSnapshotScript), QWebEngineScript::ApplicationWorld,
                             [self](const QVariant& result) {
                                 if (self)
                                     self->received(result);
                             });
    }

private:
    void received(const QVariant& result) {
        if (result.typeId() != QMetaType::QString) {
            finish(std::nullopt, QStringLiteral("The page's document could not be read."));
            return;
        }
        QJsonParseError parseError;
        const QJsonDocument json = QJsonDocument::fromJson(result.toString().toUtf8(), &parseError);
        if (!json.isObject()) {
            finish(std::nullopt, QStringLiteral("The page's document could not be read: %1")
                                     .arg(parseError.errorString()));
            return;
        }
        document_ = parseDocument(json.object(), {}, depth_ < kMaxFrameDepth ? &blocked_ : nullptr);
        loadNextBlockedFrame();
    }

    // Each frame the script could not enter is loaded on a page of its own,
    // one at a time, and its snapshot put in its place.
    void loadNextBlockedFrame() {
        if (framePage_) {
            framePage_->deleteLater();
            framePage_ = nullptr;
        }
        if (next_ >= blocked_.size()) {
            finish(std::move(document_), {});
            return;
        }
        const FramePath path = blocked_[next_++];
        const QUrl address(frameAt(document_, path).address);
        if (!address.isValid() || address.isEmpty() || address.scheme() == u"about") {
            loadNextBlockedFrame();
            return;
        }
        framePage_ =
            new QWebEnginePage(page_ ? page_->profile() : QWebEngineProfile::defaultProfile());
        QPointer<QWebEnginePage> framePage(framePage_);
        auto* timer = new QTimer(framePage_);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, framePage] {
            if (framePage == framePage_)
                loadNextBlockedFrame();
        });
        connect(framePage_, &QWebEnginePage::loadFinished, this, [this, framePage, path](bool ok) {
            if (framePage != framePage_)
                return;
            framePage_->disconnect(this);
            if (!ok) {
                loadNextBlockedFrame();
                return;
            }
            QPointer<SnapshotJob> self(this);
            snapshotPageAt(framePage_, depth_ + 1,
                           [self, path](std::optional<PageDocument> frame, const QString&) {
                               if (!self)
                                   return;
                               if (frame) {
                                   PageDocument& slot = frameAt(self->document_, path);
                                   frame->address = slot.address;
                                   slot = std::move(*frame);
                               }
                               self->loadNextBlockedFrame();
                           });
        });
        timer->start(kFrameLoadTimeoutMs);
        framePage_->load(address);
    }

    void finish(std::optional<PageDocument> document, const QString& error) {
        if (finished_)
            return;
        finished_ = true;
        // Answer from the event loop, never from inside a page's own signal.
        QTimer::singleShot(0, [done = std::move(done_), document = std::move(document),
                               error]() mutable { done(std::move(document), error); });
        if (framePage_) {
            framePage_->disconnect(this);
            framePage_->deleteLater();
            framePage_ = nullptr;
        }
        deleteLater();
    }

    QPointer<QWebEnginePage> page_;
    int depth_;
    SnapshotCallback done_;
    PageDocument document_;
    QVector<FramePath> blocked_;
    qsizetype next_ = 0;
    QWebEnginePage* framePage_ = nullptr;
    bool finished_ = false;
};

void snapshotPageAt(QWebEnginePage* page, int depth, SnapshotCallback done) {
    auto* job = new SnapshotJob(page, depth, std::move(done));
    job->start();
}

} // namespace

void snapshotPage(QWebEnginePage* page, SnapshotCallback done) {
    if (!page) {
        QTimer::singleShot(0, [done = std::move(done)] {
            done(std::nullopt, QStringLiteral("There is no page to read."));
        });
        return;
    }
    snapshotPageAt(page, 0, std::move(done));
}

PageDocument pageDocumentFromSnapshot(const QJsonObject& snapshot) {
    return parseDocument(snapshot, {}, nullptr);
}

} // namespace gainbook
