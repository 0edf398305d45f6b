// The translation files and the catalogue of the core's texts: every source
// text has a finished translation in each language, the English one keeps its
// placeholders and accelerators and holds no Japanese, the program carries
// what the files say, and every Japanese text of the core is in the catalogue.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/Session.h"
#include "scene/SettingsFile.h"
#include "ui/CoreTexts.h"
#include "ui/TextChecks.h"

using namespace horizonmill;
using namespace horizonmill::ui;

namespace {

struct Message {
  QString context, source, translation, type;  // type: "" when finished
};

std::vector<Message> ReadTs(const QString& language) {
  QFile file(
      QStringLiteral(HORIZONMILL_SOURCE_DIR "/translations/horizonmill_%1.ts").arg(language));
  if (!file.open(QIODevice::ReadOnly)) qFatal("no translation file for %s", qPrintable(language));
  std::vector<Message> messages;
  QXmlStreamReader xml(&file);
  Message m;
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
      m = Message{m.context, {}, {}, {}};
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

// The string literals of a C++ source, comments left out.
std::vector<std::string> StringLiterals(const std::string& code) {
  std::vector<std::string> literals;
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code.compare(i, 2, "//") == 0) {
      i = code.find('\n', i);
      if (i == std::string::npos) break;
    } else if (code.compare(i, 2, "/*") == 0) {
      i = code.find("*/", i);
      if (i == std::string::npos) break;
      ++i;
    } else if (code[i] == '\'') {
      while (++i < code.size() && code[i] != '\'')
        if (code[i] == '\\') ++i;
    } else if (code[i] == '"') {
      std::string literal;
      while (++i < code.size() && code[i] != '"') {
        if (code[i] == '\\') ++i;
        literal += code[i];
      }
      literals.push_back(literal);
    }
  }
  return literals;
}

}  // namespace

class TranslationFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyTextHasAFinishedEnglishTranslation() {
    const std::vector<Message> english = ReadTs("en");
    QVERIFY(english.size() > 250);
    for (const Message& m : english) {
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
    for (const Message& m : ReadTs("en")) english.insert({m.context, m.source});
    for (const Message& m : ReadTs("ja")) {
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
    for (const Message& m : ReadTs(language))
      QCOMPARE(translator.translate(m.context.toUtf8(), m.source.toUtf8()), m.translation);
  }

  // The window's lookup and the files agree: each text of the catalogue is a
  // source text of the CoreText context.
  void theCatalogueIsInTheFiles() {
    std::set<QString> sources;
    for (const Message& m : ReadTs("en"))
      if (m.context == kCoreTextContext) sources.insert(m.source);
    QCOMPARE(sources.size(), CoreTextCatalogue().size());
    for (const char* text : CoreTextCatalogue())
      QVERIFY2(sources.contains(QString::fromUtf8(text)), text);
  }

  void coreTextsAreTranslatedExactlyOrByTheirPattern_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("japanese");
    QTest::addColumn<QString>("english");
    QTest::newRow("exact") << "メモリー枯渇！"
                           << "メモリー枯渇！"
                           << "Out of memory!";
    QTest::newRow("a number") << "星空作画中.. 個数： 1200"
                              << "星空作画中.. 個数： 1200"
                              << "Drawing the stars.. count: 1200";
    QTest::newRow("a name in brackets") << "背景「夕焼け」を削除します。よろしいですか？"
                                        << "背景「夕焼け」を削除します。よろしいですか？"
                                        << "Remove the background \"夕焼け\"?";
    const QString missing = QString::fromUtf8(std::string(kObjectPicturePrefix) + "木 %2.bmp" +
                                              std::string(kMissingPictureSuffix));
    QTest::newRow("a missing picture")
        << missing << missing
        << "The object file 木 %2.bmp is missing. Please choose one in its place";
    QTest::newRow("nothing between") << "背景「」を削除します。よろしいですか？"
                                     << "背景「」を削除します。よろしいですか？"
                                     << "Remove the background \"\"?";
    QTest::newRow("not in the catalogue") << "未知の文"
                                          << "未知の文"
                                          << "未知の文";
    QTest::newRow("only the pattern's start") << "背景「夕焼け"
                                              << "背景「夕焼け"
                                              << "背景「夕焼け";
  }
  void coreTextsAreTranslatedExactlyOrByTheirPattern() {
    QFETCH(QString, text);
    QFETCH(QString, japanese);
    QFETCH(QString, english);
    const std::string utf8 = text.toStdString();
    QCOMPARE(CoreText(utf8), japanese);
    const SpokenLanguage language("en");
    QVERIFY(language.installed);
    QCOMPARE(CoreText(utf8), english);
  }

  // Every Japanese text the core may hand the window is a text of the
  // catalogue or a part of one of its patterns, so none reaches the window
  // untranslated. Data, not interface: the settings file's header and the
  // new scene's name; and the command line's warnings (English, naming the
  // tile "無").
  void everyJapaneseTextOfTheCoreIsInTheCatalogue() {
    const std::set<std::string> data = {std::string(kSettingsHeader),
                                        std::string(kNewSettingsName)};
    std::vector<std::string> catalogue;
    for (const char* text : CoreTextCatalogue()) catalogue.emplace_back(text);
    int checked = 0;
    for (const char* folder : {"platform", "image", "scene", "render", "codecs", "host", "app"}) {
      QDirIterator files(QStringLiteral(HORIZONMILL_SOURCE_DIR "/src/") + folder, {"*.h", "*.cpp"});
      while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const std::string& literal : StringLiterals(file.readAll().toStdString())) {
          if (!HasJapanese(QString::fromStdString(literal)) || data.contains(literal) ||
              literal.starts_with("; the layer shows"))
            continue;
          ++checked;
          const bool found = std::any_of(catalogue.begin(), catalogue.end(), [&](auto& t) {
            return t == literal || (literal.size() > 1 && t.find(literal) != std::string::npos &&
                                    t.find("%1") != std::string::npos);
          });
          QVERIFY2(found, (file.fileName().toStdString() + ": " + literal).c_str());
        }
      }
    }
    QVERIFY(checked >= 35);
  }
};

QTEST_MAIN(TranslationFilesTest)
#include "translation_files_test.moc"
