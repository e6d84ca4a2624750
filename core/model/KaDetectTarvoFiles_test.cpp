#include "model/KaDetectTarvoFiles.h"
#include "textio/KaParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::string const kDataDir = TARVIS_TEST_DATA_DIR;

class DetectFiles : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvis_detect_test";
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    eTarvoFiletype Kind(char const* name, std::string const& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
        return KaDetectTarvoFiles((dir / name).string().c_str()).IsValidTarvoFile();
    }
};

} // namespace

TEST(KaDetectTarvoFiles, ExtensionTable) {
    char const* const table[] = {"pro", "coo", "aor", "sip", "imo", "aob", "log", "mlg", "res", "dres"};
    for (int i = FT_PRO; i < FT_NONE; ++i) {
        auto const type = static_cast<eTarvoFiletype>(i);
        EXPECT_STREQ(GetKaExtension(type), table[i]);
        std::string name = std::string("C:\\data\\Photo.1.") + table[i];
        EXPECT_EQ(KaDetectTarvoFiles(name.c_str()).DetectByExtension(), type) << name;
    }
    EXPECT_STREQ(GetKaExtension(FT_NONE), "");
    EXPECT_STREQ(GetKaExtension(static_cast<eTarvoFiletype>(42)), "");

    EXPECT_EQ(KaDetectTarvoFiles("NET.RES").DetectByExtension(), FT_RES);
    EXPECT_EQ(KaDetectTarvoFiles(String("Tarvis.Dres")).DetectByExtension(), FT_DRES);
    EXPECT_EQ(KaDetectTarvoFiles("Tarvis.cam").DetectByExtension(), FT_NONE);
    EXPECT_EQ(KaDetectTarvoFiles("README").DetectByExtension(), FT_NONE);
    EXPECT_EQ(KaDetectTarvoFiles("net.res2").DetectByExtension(), FT_NONE);
    EXPECT_EQ(KaDetectTarvoFiles("").DetectByExtension(), FT_NONE);
    // An unknown extension is settled without opening anything.
    EXPECT_EQ(KaDetectTarvoFiles("/nonexistent/x.txt").IsValidTarvoFile(), FT_NONE);

    KaDetectTarvoFiles a("a.pro");
    KaDetectTarvoFiles b(a);
    b = KaDetectTarvoFiles("b.sip");
    EXPECT_EQ(a.DetectByExtension(), FT_PRO);
    EXPECT_EQ(b.DetectByExtension(), FT_SIP);
}

TEST(KaDetectTarvoFiles, DetectsEverySampleFile) {
    struct Sample {
        char const* name;
        eTarvoFiletype kind;
    };
    Sample const samples[] = {
        {"detect_project.pro", FT_PRO},   {"detect_points.coo", FT_COO},   {"detect_orient.aor", FT_AOR},
        {"detect_block.sip", FT_SIP},     {"detect_image.imo", FT_IMO},    {"detect_object.aob", FT_NONE},
        {"detect_session.log", FT_NONE},  {"detect_measure.mlg", FT_NONE}, {"detect_NET.RES", FT_RES},
        {"detect_cameras.dres", FT_DRES}, {"camera_layout.cam", FT_NONE},
    };
    for (Sample const& s : samples) {
        std::string const path = kDataDir + "/" + s.name;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        EXPECT_EQ(KaDetectTarvoFiles(path.c_str()).IsValidTarvoFile(), s.kind) << s.name;
    }
}

TEST_F(DetectFiles, ContentMustFitTheExtension) {
    std::string const reseau = "; header\n\"Net 3x3\"\n{ -20 -14 20 14 }\n";
    EXPECT_EQ(Kind("NET.RES", reseau), FT_RES);
    EXPECT_EQ(Kind("net.txt", reseau), FT_NONE);
    EXPECT_EQ(Kind("net.dres", reseau), FT_NONE);

    EXPECT_EQ(Kind("a.pro", "12 PHOTO\n"), FT_NONE);
    EXPECT_EQ(Kind("a.coo", "1.5 2 3\n"), FT_NONE);
    EXPECT_EQ(Kind("a.coo", "\n\n  ! points\n\t-7 2 3\n"), FT_COO);
    EXPECT_EQ(Kind("a.sip", "SIP { }\n"), FT_NONE);
    EXPECT_EQ(Kind("a.imo", "\"text\"\n"), FT_NONE);
    EXPECT_EQ(Kind("a.log", "; comment\n1\n"), FT_NONE);
    EXPECT_EQ(Kind("a.dres", "; only a comment\n"), FT_NONE);
    // Only the first token counts: a broken second token is never read.
    EXPECT_EQ(Kind("b.res", "\"Net\" \"unterminated\n"), FT_RES);

    for (int i = FT_PRO; i < FT_NONE; ++i) {
        std::string const name = std::string("empty.") + GetKaExtension(static_cast<eTarvoFiletype>(i));
        EXPECT_EQ(Kind(name.c_str(), ""), FT_NONE) << name;
    }
    EXPECT_EQ(KaDetectTarvoFiles((dir / "missing.res").string().c_str()).IsValidTarvoFile(), FT_NONE);
    // A folder opens but cannot be read: unreadable, not an error.
    std::filesystem::create_directory(dir / "folder.res");
    EXPECT_EQ(KaDetectTarvoFiles((dir / "folder.res").string().c_str()).IsValidTarvoFile(), FT_NONE);
}

TEST_F(DetectFiles, TokenizerErrorOnTheFirstTokenIsThrownOn) {
    auto statusOf = [&](char const* name, std::string const& text) {
        try {
            Kind(name, text);
        } catch (KaParserStatus const& status) {
            return status.GetStatus();
        }
        return ParserStatusOK;
    };
    EXPECT_EQ(statusOf("u.res", "; header\n\"unterminated\n"), ParserErrorUnterminatedString);
    EXPECT_EQ(statusOf("n.pro", "1abc\n"), ParserErrorInvalidNumber);
    EXPECT_EQ(statusOf("n.coo", "-x 1\n"), ParserErrorInvalidNumber);
}
