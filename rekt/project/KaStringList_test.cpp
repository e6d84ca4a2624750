#include "project/KaStringList.h"

#include "project/KaGeneralTarvoSettings.h"
#include "textio/KaReader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct PathReader {
    int OnPath(KaReaderObject* object) { return list.AddString(object) ? 1 : 0; }
    KaStringList list;
};

} // namespace

TEST(KaGeneralTarvoSettings, LoadedLibraryHoldsTheSystemFileNames) {
    EXPECT_EQ(sKaGeneralTarvoSettings.GetReseauFilename(), "Tarvis.dres");
    EXPECT_EQ(sKaGeneralTarvoSettings.GetCameraFilename(), "Tarvis.cam");

    KaGeneralTarvoSettings settings;
    settings.SetCameraFilename("other.cam");
    settings.m_Limit = 12;
    settings.m_FirstText = "kept";
    settings.m_Texts[6] = "kept too";
    KaGeneralTarvoSettings const copy(settings);
    EXPECT_EQ(copy.GetCameraFilename(), "other.cam");
    EXPECT_EQ(copy.m_Texts[6], "kept too");

    settings.Init();
    EXPECT_EQ(settings.GetCameraFilename(), "Tarvis.cam");
    EXPECT_EQ(settings.m_Limit, 300);
    EXPECT_DOUBLE_EQ(settings.m_Factor, 25.0);
    EXPECT_EQ(settings.m_FirstText, "kept");
    EXPECT_EQ(settings.m_Texts[6], "kept too");
}

TEST(KaStringList, AddStrKeepsDuplicatesAndFindIgnoresCase) {
    KaStringList list;
    KaListnode* a = list.AddStr("Folder");
    list.AddStr("Folder");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(a->GetId(), 0u);
    EXPECT_EQ(list.Find(String("FOLDER"), false), a);
    EXPECT_EQ(list.Find(String("FOLDER"), true), nullptr);

    KaStringList copy(list);
    list.Destroy();
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.First()->GetName(), "Folder");
}

TEST(KaStringList, AddStringTakesOnlyQuotedStrings) {
    std::istringstream in("PATH \"c:\\\\one two\"\nPATH bare\nPATH \"last\"\n");
    KaReader reader(in, "paths");
    PathReader target;
    KaReaderObject entry("PATH", Link(&target, &PathReader::OnPath));
    reader.RegisterObject(entry);
    reader.DoProcess(true);

    ASSERT_EQ(target.list.Count(), 1);
    EXPECT_EQ(target.list.First()->GetName(), "c:\\\\one two");
    ASSERT_EQ(reader.GetReadErrorCount(), 1);
    EXPECT_EQ(reader.GetReaderErrorList()->First()->GetStatus(), ParserErrorNotSpecifiedToken);
    EXPECT_EQ(reader.GetReaderErrorList()->First()->GetLine(), 2);
}
