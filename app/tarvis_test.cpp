// Runs the tarvis program end to end on the sample data and on broken files.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string const Examples = TARVIS_EXAMPLES_DIR;

std::string Slurp(fs::path const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

class TarvisCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tarvis_cli_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program with the arguments (a shell word list) in the test folder.
    Outcome Invoke(std::string const& args) const {
        std::string const command =
            "cd '" + dir.string() + "' && '" + TARVIS_EXE + "' " + args + " > out.txt 2> err.txt";
        int const status = std::system(command.c_str());
        Outcome run;
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = Slurp(dir / "out.txt");
        run.err = Slurp(dir / "err.txt");
        return run;
    }

    std::string Put(std::string const& name, std::string const& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
        return name;
    }

    static std::string Sample(std::string const& name) { return "'" + Examples + "/" + name + "'"; }

    fs::path dir;
};

} // namespace

TEST_F(TarvisCommand, ChecksTheSampleFiles) {
    Outcome const run = Invoke("check " + Sample("Tarvis.cam") + " " + Sample("reseau_5x5.res") + " " +
                               Sample("Tarvis.dres") + " " + Sample("scan_crosses.imo"));
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Tarvis.cam: camera file, 3 cameras\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("reseau_5x5.res: reseau file, 25 crosses\n"), std::string::npos);
    EXPECT_NE(run.out.find("Tarvis.dres: digital-camera reseau file, 3 entries\n"), std::string::npos);
    EXPECT_NE(run.out.find("scan_crosses.imo: image point file, 25 points\n"), std::string::npos);
}

TEST_F(TarvisCommand, ReportsBrokenFilesWithTheirLines) {
    // A word where a number belongs, in the second camera.
    Put("wrong.cam", "; cameras\n{ 1 152.1 0 0 0 0 0 \"ok\" }\n{ 2 abc 0 0 0 0 0 \"bad\" }\n");
    Outcome run = Invoke("check wrong.cam");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("wrong.cam: camera file, 1 cameras (with errors)"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("wrong.cam:3: "), std::string::npos) << run.err;

    // An unterminated string as the first token is caught while telling the kind.
    Put("open.res", "\n\"no end\n");
    run = Invoke("check open.res");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("open.res:2: "), std::string::npos) << run.err;

    // Unknown, missing, empty and mismatched files; the good file is still checked.
    Put("notes.txt", "hello\n");
    Put("empty.coo", "");
    Put("words.imo", "first second\n");
    Put("good.coo", "1 10 20 30\n2 11 21 31\n");
    run = Invoke("check notes.txt missing.res empty.coo words.imo good.coo");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("notes.txt: unknown file kind"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("missing.res: no such file"), std::string::npos);
    EXPECT_NE(run.err.find("empty.coo: is empty"), std::string::npos);
    EXPECT_NE(run.err.find("words.imo: does not begin like a .imo file"), std::string::npos);
    EXPECT_NE(run.out.find("good.coo: point file, 2 points\n"), std::string::npos) << run.out;

    // A broken cross keeps the crosses before it; the error names its line.
    Put("cut.res", "\"cut\" { -30 -30 30 30 } { 5 -30 30 -26.5 }\n{ 1 -20 20 1 }\n{ 2 -20 20 1.5.5 }\n");
    run = Invoke("check cut.res");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.out.find("cut.res: reseau file, 1 crosses (with errors)"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("cut.res:3: "), std::string::npos) << run.err;

    EXPECT_EQ(Invoke("check").code, 2);
    EXPECT_EQ(Invoke("check --columns number,Q good.coo").code, 2);
}

TEST_F(TarvisCommand, FitFindsTheBlunderOfTheScan) {
    Outcome run = Invoke("fit " + Sample("scan_crosses.imo") + " " + Sample("reseau_5x5.res") + " --reject");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Type:   Polynomial (chosen by the spread of the points)"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Removed: point 24 "), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Removed: point", run.out.find("Removed: point 24") + 1), std::string::npos);
    EXPECT_NE(run.out.find("over 24 points"), std::string::npos);

    run = Invoke("fit " + Sample("scan_crosses.imo") + " " + Sample("reseau_5x5.res") +
                 " --type affine --reject --json --write trafo.txt");
    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json const j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["type"], "affine");
    EXPECT_EQ(j["coefficients"].size(), 6u);
    EXPECT_EQ(j["rejected"], nlohmann::json::array({24}));
    EXPECT_EQ(j["points"].size(), 25u);
    EXPECT_LT(j["rms"]["x"].get<double>(), 0.005);
    // About 0.02 mm per pixel.
    EXPECT_NEAR(j["scale"].get<double>(), 0.02, 0.0001);
    std::string const record = Slurp(dir / "trafo.txt");
    EXPECT_EQ(record.substr(0, 5), "    2") << record;

    // Limits of our own: nothing exceeds 1 mm.
    run = Invoke("fit " + Sample("scan_crosses.imo") + " " + Sample("reseau_5x5.res") + " --reject=1,1");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.find("Removed:"), std::string::npos);
}

TEST_F(TarvisCommand, FitRefusesWhatItCannotDo) {
    Put("src.coo", "1 0 0\n2 10 0\n3 0 10\n99 5 5\n");
    Put("dst.coo", "1 100 100\n2 120 100\n3 100 120\n");
    // Three paired points make an affine transformation; 99 has no partner.
    Outcome run = Invoke("fit src.coo dst.coo --type affine --json");
    ASSERT_EQ(run.code, 0) << run.err;
    nlohmann::json const j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["points"][3]["status"], "unpaired");
    EXPECT_NEAR(j["coefficients"][1].get<double>(), 2.0, 1e-12);

    run = Invoke("fit src.coo dst.coo --type projective");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("3 paired point(s), a projective transformation needs 4"), std::string::npos)
        << run.err;

    Put("other.coo", "7 0 0\n8 1 1\n");
    run = Invoke("fit src.coo other.coo");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("no point numbers in common"), std::string::npos);

    Put("bad.coo", "1 0 0\n2 ten 0\n");
    run = Invoke("fit bad.coo dst.coo");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("bad.coo:2: "), std::string::npos) << run.err;

    EXPECT_EQ(Invoke("fit src.coo dst.coo --type conformal").code, 2);
    EXPECT_EQ(Invoke("fit src.coo dst.coo --region 1,2,3").code, 2);
    EXPECT_EQ(Invoke("fit src.coo dst.coo --reject=0,1").code, 2);
    std::string const before = Slurp(dir / "dst.coo");
    EXPECT_EQ(Invoke("fit src.coo dst.coo --write dst.coo").code, 2);
    EXPECT_EQ(Slurp(dir / "dst.coo"), before);
}

TEST_F(TarvisCommand, UndistortRoundTrip) {
    std::string const cameras = Sample("Tarvis.cam");
    Outcome run = Invoke("undistort --camera-file " + cameras + " --camera 1 " + Sample("image_points.imo") +
                         " --output corrected.imo");
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run = Invoke("undistort --camera-file " + cameras + " --camera 1 --inverse corrected.imo");
    ASSERT_EQ(run.code, 0) << run.err;

    // Back where they started, within the accuracy of the inverse correction (it
    // leaves the principal point times the distortion factor, far below a micron).
    std::istringstream back(run.out), original(Slurp(Examples + "/image_points.imo"));
    std::string line;
    std::getline(original, line); // the comment
    int count = 0;
    unsigned int n1 = 0, n2 = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    while (original >> n1 >> x1 >> y1 && back >> n2 >> x2 >> y2) {
        EXPECT_EQ(n1, n2);
        EXPECT_NEAR(x1, x2, 5e-4);
        EXPECT_NEAR(y1, y2, 5e-4);
        ++count;
    }
    EXPECT_EQ(count, 4);

    // Corrected points differ from the measured ones.
    EXPECT_NE(Slurp(dir / "corrected.imo").find("101"), std::string::npos);

    run = Invoke("undistort --camera-file " + cameras + " --camera 9 " + Sample("image_points.imo"));
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("no camera 9"), std::string::npos) << run.err;
    Put("mine.imo", "1 2 3\n");
    EXPECT_EQ(Invoke("undistort --camera-file " + cameras + " --camera 1 mine.imo -o mine.imo").code, 2);
    EXPECT_EQ(Slurp(dir / "mine.imo"), "1 2 3\n");
    EXPECT_EQ(Invoke("undistort --camera 1 mine.imo").code, 2);
}

TEST_F(TarvisCommand, HelpAndVersion) {
    Outcome run = Invoke("--version");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out.rfind("tarvis ", 0), 0u) << run.out;
    run = Invoke("fit --help");
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("--reject"), std::string::npos);
    EXPECT_EQ(Invoke("").code, 2);
    EXPECT_EQ(Invoke("measure").code, 2);
}
