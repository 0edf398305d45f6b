// The translation files and the catalogue of the core's messages: every source
// text has a finished translation in each language, the English one keeps its
// placeholders and accelerators and holds no Japanese, the program carries
// what the files say, and every message code reads in each language, in
// English as the command line words it.
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>
#include <set>
#include <string>
#include <vector>

#include "ui/CoreTexts.h"
#include "ui/TextChecks.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

struct TsMessage {
  QString context, source, translation, type;  // type: "" when finished
};

std::vector<TsMessage> ReadTs(const QString& language) {
  QFile file(
      QStringLiteral(HORIZONMILL_SOURCE_DIR "/translations/horizonmill_%1.ts").arg(language));
  if (!file.open(QIODevice::ReadOnly)) qFatal("no translation file for %s", qPrintable(language));
  std::vector<TsMessage> messages;
  QXmlStreamReader xml(&file);
  TsMessage m;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"name") {
      m.context = xml.readElementText();
    } else if (xml.isStartElement() && xml.name() == u"source") {
      m.source = xml.readElementText();
    } else if (xml.isStartElement() && xml.name() == u"translation") {
      m.type = xml.attributes().value("type").toString();
      m.translation = xml.readElementText();
    } else if (xml.isEndElement() && xml.name() == u"message") {
      messages.push_back(m);
      m = TsMessage{m.context, {}, {}, {}};
    }
  }
  if (xml.hasError()) qFatal("%s", qPrintable(xml.errorString()));
  return messages;
}

// The placeholders (%1, %2, ...) of a text, sorted.
QStringList Placeholders(const QString& text) {
  static const QRegularExpression mark(QStringLiteral("%\\d"));
  QStringList found;
  for (auto it = mark.globalMatch(text); it.hasNext();) found << it.next().captured();
  found.sort();
  return found;
}

// How many accelerators ("&F"; "&&" is a plain "&") a text marks.
int Accelerators(const QString& text) {
  int count = 0;
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') ++count;
    ++i;
  }
  return count;
}

}  // namespace

class TranslationFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyTextHasAFinishedEnglishTranslation() {
    const std::vector<TsMessage> english = ReadTs("en");
    QVERIFY(english.size() > 250);
    for (const TsMessage& m : english) {
      const QByteArray where = (m.context + " / " + m.source).toUtf8();
      QVERIFY2(m.type.isEmpty(), where);  // not unfinished, vanished or obsolete
      QVERIFY2(!m.translation.isEmpty(), where);
      QVERIFY2(!HasJapanese(m.translation), where);
      QVERIFY2(!HasJapanese(m.source) || m.translation != m.source, where);
      QVERIFY2(Placeholders(m.translation) == Placeholders(m.source), where);
      QVERIFY2(Accelerators(m.translation) == Accelerators(m.source), where);
    }
  }

  // The Japanese file holds the same texts, each finished.
  void theJapaneseFileListsTheSameTexts() {
    std::set<std::pair<QString, QString>> english, japanese;
    for (const TsMessage& m : ReadTs("en")) english.insert({m.context, m.source});
    for (const TsMessage& m : ReadTs("ja")) {
      japanese.insert({m.context, m.source});
      QVERIFY2(m.type.isEmpty() && !m.translation.isEmpty(), m.source.toUtf8());
      QVERIFY2(Placeholders(m.translation) == Placeholders(m.source), m.source.toUtf8());
    }
    QVERIFY(english == japanese);
  }

  // The translations compiled into the program are those of the files.
  void theProgramCarriesTheTranslations_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << "en";
    QTest::newRow("ja") << "ja";
  }
  void theProgramCarriesTheTranslations() {
    QFETCH(QString, language);
    QTranslator translator;
    QVERIFY(translator.load(":/i18n/horizonmill_" + language));
    for (const TsMessage& m : ReadTs(language))
      QCOMPARE(translator.translate(m.context.toUtf8(), m.source.toUtf8()), m.translation);
  }

  // The window's catalogue and the files agree: the CoreText context holds
  // the source text of every code, one text per code.
  void theCatalogueIsInTheFiles() {
    std::set<QString> sources, catalogue;
    for (const TsMessage& m : ReadTs("en"))
      if (m.context == kCoreTextContext) sources.insert(m.source);
    for (int i = 0; i < kMessageCodeCount; ++i)
      catalogue.insert(QString::fromUtf8(CoreTextSource(static_cast<MessageCode>(i))));
    QCOMPARE(catalogue.size(), std::size_t{kMessageCodeCount});
    QVERIFY(sources == catalogue);
  }

  // Every code in each language, its value put in: the Japanese text of the
  // catalogue, and in English the command line's own words.
  void everyCodeIsTranslated_data() {
    QTest::addColumn<int>("code");
    for (int i = 0; i < kMessageCodeCount; ++i)
      QTest::newRow(std::string(EnglishText(static_cast<MessageCode>(i))).c_str()) << i;
  }
  void everyCodeIsTranslated() {
    QFETCH(int, code);
    // A value that looks like a placeholder stays as it is.
    const horizonmill::Message message(static_cast<MessageCode>(code), {"夕焼け %2"});
    const QString japanese = CoreText(message);
    QVERIFY(HasJapanese(japanese));
    QCOMPARE(japanese,
             QString::fromStdString(FillArguments(CoreTextSource(message.code), message.args)));
    const SpokenLanguage language("en");
    QVERIFY(language.installed);
    QCOMPARE(CoreText(message), QString::fromStdString(message.English()));
  }

  // What the window shows, word for word, in each language.
  void aMessageReadsAsTheWindowShowsIt_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("japanese");
    QTest::addColumn<QString>("english");
    auto row = [](const char* name, MessageCode code, const char* value, const char* japanese,
                  const char* english) {
      QTest::newRow(name) << static_cast<int>(code) << value << japanese << english;
    };
    row("no value", MessageCode::MemoryExhausted, "", "メモリー枯渇！", "Out of memory!");
    row("a number", MessageCode::StarsStage, "1200", "星空作画中.. 個数： 1200",
        "Drawing the stars.. count: 1200");
    row("a name in brackets", MessageCode::ConfirmRemoval, "夕焼け",
        "背景「夕焼け」を削除します。よろしいですか？", "Remove the background \"夕焼け\"?");
    row("an empty name", MessageCode::ConfirmRemoval, "", "背景「」を削除します。よろしいですか？",
        "Remove the background \"\"?");
    row("a name with a placeholder", MessageCode::ObjectPictureMissing, "木 %1.bmp",
        "オブジェクトファイル 木 %1.bmp がありません。代わりを指定してください",
        "The object file 木 %1.bmp is missing. Please choose one in its place");
  }
  void aMessageReadsAsTheWindowShowsIt() {
    QFETCH(int, code);
    QFETCH(QString, value);
    QFETCH(QString, japanese);
    QFETCH(QString, english);
    const horizonmill::Message message(static_cast<MessageCode>(code), {value.toStdString()});
    QCOMPARE(CoreText(message), japanese);
    const SpokenLanguage language("en");
    QVERIFY(language.installed);
    QCOMPARE(CoreText(message), english);
  }
};

QTEST_MAIN(TranslationFilesTest)
#include "translation_files_test.moc"
