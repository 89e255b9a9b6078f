// The program builder against a real 4.5 core context: what it compiles and
// what its interface report says.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shader/desktop_keywords.h"
#include "shader/pass_assembly.h"
#include "shader/program_builder.h"
#include "tests/support/gl_test.h"
#include "tests/support/recording_log.h"

class ProgramBuilder : public GlTest {
  protected:
    void TearDown() override {
        for (GLuint program : programs) glDeleteProgram(program);
    }
    GLuint keep(GLuint program) {
        if (program) programs.push_back(program);
        return program;
    }
    GLuint build_pass(const char* pass_text, int pass_index) {
        return keep(build_program(assemble_pass_source(pass_text, "", pass_index), false));
    }
    std::vector<GLuint> programs;
};

// Reads every block member, so all of them are active.
static const char kEveryUniformPass[] =
    "void mainImage(out vec4 color, in vec2 coord) {\n"
    "    color = texture(iChannel0, coord / iResolution.xy) + texture(iChannel2, coord) * iTime;\n"
    "    color += iMouse + iDate + vec4(iChannelResolution[3], iChannelTime[1]);\n"
    "    color += vec4(iSampleRate, iTimeDelta, iFrameRate, float(iFrame));\n"
    "}\n";

TEST_F(ProgramBuilder, VersionLineFollowsTheContext) { EXPECT_STREQ(glsl_version_header(), "#version 450 core\n"); }

TEST_F(ProgramBuilder, BothStagesGetTheSameTextButTheirOwnMacro) {
    const char* text = assemble_pass_source(kEveryUniformPass, "", 0);
    const GLuint vertex = compile_stage(glsl_version_header(), "#define VERTEX_SHADER\n", text, GL_VERTEX_SHADER);
    const GLuint fragment = compile_stage(glsl_version_header(), "#define FRAGMENT_SHADER\n", text, GL_FRAGMENT_SHADER);
    ASSERT_NE(vertex, 0u);
    ASSERT_NE(fragment, 0u);
    std::vector<char> vertex_source(4096), fragment_source(4096);
    glGetShaderSource(vertex, 4096, nullptr, vertex_source.data());
    glGetShaderSource(fragment, 4096, nullptr, fragment_source.data());
    const std::string vertex_text = vertex_source.data();
    const std::string fragment_text = fragment_source.data();
    EXPECT_EQ(vertex_text.rfind("#version 450 core\n#define VERTEX_SHADER\n#ifdef VERTEX_SHADER\n", 0), 0u);
    EXPECT_EQ(fragment_text.rfind("#version 450 core\n#define FRAGMENT_SHADER\n#ifdef VERTEX_SHADER\n", 0), 0u);
    EXPECT_EQ(vertex_text.substr(vertex_text.find("#ifdef")), fragment_text.substr(fragment_text.find("#ifdef")));
    glDeleteShader(vertex);
    glDeleteShader(fragment);
}

TEST_F(ProgramBuilder, PassWithoutMainImageReportsCompileThenLinkErrorAndGivesZero) {
    RecordingLog log;
    EXPECT_EQ(build_pass("void notMainImage() {}\n", 0), 0u);
    const int compile = log.find_prefix("Compile Error:");
    const int linking = log.find_prefix("Linking program...");
    const int link_error = log.find_prefix("Linking Error:\n");
    ASSERT_GE(compile, 0) << log.joined();
    EXPECT_LT(compile, linking);
    EXPECT_LT(linking, link_error);
    EXPECT_NE(log.lines[compile].find("mainImage"), std::string::npos) << log.lines[compile];
    EXPECT_EQ(log.count_prefix("active "), 0);
}

TEST_F(ProgramBuilder, CompileErrorsCountLinesOfThePassText) {
    RecordingLog log;
    EXPECT_EQ(build_pass("void mainImage(out vec4 c, in vec2 p) {\n    c = vec4(1.0);\n    oops;\n}\n", 0), 0u);
    const int compile = log.find_prefix("Compile Error:");
    ASSERT_GE(compile, 0) << log.joined();
    // Mesa writes "0:<line>(<column>)"; the bad statement is on line 3.
    EXPECT_NE(log.lines[compile].find("0:3("), std::string::npos) << log.lines[compile];
}

// Uniforms, samplers and fragment-only functions, none of which the vertex
// stage has.
static const char kCommonPart[] =
    "float edge_width(vec2 p) { return fwidth(p.x) + iTime / iResolution.x; }\n"
    "vec4 noise_at(vec2 p) { return texture(iChannel0, p); }\n";

TEST_F(ProgramBuilder, TheCommonPartUsesUniformsSamplersAndDerivativesAndCountsItsOwnLines) {
    RecordingLog log;
    const char* pass = "void mainImage(out vec4 c, in vec2 p) { c = noise_at(p) * edge_width(p); }\n";
    EXPECT_NE(keep(build_program(assemble_pass_source(pass, kCommonPart, 2), false)), 0u) << log.joined();
    EXPECT_EQ(log.count_prefix("Compile Error:"), 0) << log.joined();

    const std::string broken_common = std::string(kCommonPart) + "\n    oops;\n";
    EXPECT_EQ(build_program(assemble_pass_source(pass, broken_common.c_str(), 2), false), 0u);
    const int compile = log.find_prefix("Compile Error:");
    ASSERT_GE(compile, 0) << log.joined();
    // Source 1 is the common part; the bad line is its fourth.
    EXPECT_NE(log.lines[compile].find("1:4("), std::string::npos) << log.lines[compile];
    EXPECT_EQ(log.lines[compile].find("0:"), std::string::npos) << log.lines[compile];
}

TEST_F(ProgramBuilder, WordsOnlyDesktopGlslReservesBuildAsNamesAndHwPerformanceIsOne) {
    std::string common = "float shared_sum() {\n    float total = 0.0;\n";
    std::string pass =
        "#if HW_PERFORMANCE != 1\n#error low power branch\n#endif\n"
        "void mainImage(out vec4 c, in vec2 p) {\n    c = vec4(shared_sum());\n";
    for (const char* word : kDesktopOnlyKeywords) {
        common += std::string("    float ") + word + " = 1.0; total += " + word + ";\n";
        pass += std::string("    vec2 ") + word + " = p; c.x += " + word + ".y;\n";
    }
    common += "    return total;\n}\n";
    pass += "}\n";
    RecordingLog log;
    EXPECT_NE(keep(build_program(assemble_pass_source(pass.c_str(), common.c_str(), 0), false)), 0u) << log.joined();
    // Without the renames every one of them is a syntax error.
    for (const char* word : {"packed", "buffer", "row_major", "dmat3x2"}) {
        const std::string bare = std::string("#undef ") + word + "\nvoid mainImage(out vec4 c, in vec2 p) { float " +
                                 word + " = 1.0; c = vec4(" + word + "); }\n";
        EXPECT_EQ(build_pass(bare.c_str(), 0), 0u) << word;
    }
}

TEST_F(ProgramBuilder, LinkedPassReportsInputsSamplersAndTheBlockWithStd140Offsets) {
    RecordingLog log;
    const GLuint program = build_pass(kEveryUniformPass, 1);
    ASSERT_NE(program, 0u) << log.joined();

    EXPECT_EQ(log.lines[0], "Linking program...");
    EXPECT_EQ(log.lines[1], "active Attribute:1");
    EXPECT_EQ(log.lines[2], "  vPos@0 vec3[1]");
    EXPECT_EQ(log.lines[3], "");

    const int uniforms = log.find_prefix("active Uniform:");
    ASSERT_GE(uniforms, 0);
    EXPECT_EQ(log.lines[uniforms], "active Uniform:12");  // ten members and two samplers
    const int sampler0 = log.find_prefix("  iChannel0@");
    const int sampler2 = log.find_prefix("  iChannel2@");
    ASSERT_GE(sampler0, 0) << log.joined();
    ASSERT_GE(sampler2, 0) << log.joined();
    EXPECT_NE(log.lines[sampler0].find(" sampler2D[1] stride:-1"), std::string::npos) << log.lines[sampler0];
    EXPECT_EQ(log.count_prefix("  iChannel1@"), 0) << "an unused sampler is not active";

    // The samplers sit on units 4 * pass + channel.
    GLint unit0 = -1, unit2 = -1;
    glGetUniformiv(program, glGetUniformLocation(program, "iChannel0"), &unit0);
    glGetUniformiv(program, glGetUniformLocation(program, "iChannel2"), &unit2);
    EXPECT_EQ(unit0, 4);
    EXPECT_EQ(unit2, 6);

    const int block = log.find_prefix("active Uniform Block:");
    ASSERT_GE(block, 0);
    EXPECT_EQ(log.lines[block], "active Uniform Block:1");
    EXPECT_EQ(log.lines[block + 1], "  LumenfoldBlock@0 size:208 active_variables:10");
    const std::vector<std::string> members(log.lines.begin() + block + 2, log.lines.begin() + block + 12);
    const char* const expected[] = {
        "       0 iChannelResolution[0] vec3[4] stride:16",
        "      64 iResolution vec3[1] stride:0",
        "      80 iMouse vec4[1] stride:0",
        "      96 iDate vec4[1] stride:0",
        "     112 iChannelTime[0] float[4] stride:16",
        "     176 iTime float[1] stride:0",
        "     180 iSampleRate float[1] stride:0",
        "     184 iTimeDelta float[1] stride:0",
        "     188 iFrameRate float[1] stride:0",
        "     192 iFrame int[1] stride:0",
    };
    for (const char* line : expected) {
        EXPECT_NE(std::find(members.begin(), members.end(), std::string(line)), members.end()) << line << "\n"
                                                                                               << log.joined();
    }
    EXPECT_EQ(log.lines[block + 12], "");
    EXPECT_EQ(static_cast<int>(log.lines.size()), block + 13);
}

TEST_F(ProgramBuilder, UnlistedTypesPrintThroughTheFallback) {
    static const char kCubeArrayProgram[] =
        "#ifdef VERTEX_SHADER\n"
        "layout (location = 0) in vec3 vPos;\n"
        "void main() { gl_Position = vec4(vPos, 1.0); }\n"
        "#endif\n"
        "#ifdef FRAGMENT_SHADER\n"
        "uniform samplerCubeArray cubes;\n"
        "out vec4 color;\n"
        "void main() { color = texture(cubes, vec4(1.0)); }\n"
        "#endif\n";
    RecordingLog log;
    ASSERT_NE(keep(build_program(kCubeArrayProgram, false)), 0u) << log.joined();
    const int cubes = log.find_prefix("  cubes@");
    ASSERT_GE(cubes, 0) << log.joined();
    EXPECT_NE(log.lines[cubes].find(" unknown: 0x900C[1] stride:-1"), std::string::npos) << log.lines[cubes];
}

TEST_F(ProgramBuilder, ProgramWithoutBlocksEndsItsReportWithTheZeroCount) {
    static const char kPlainProgram[] =
        "#ifdef VERTEX_SHADER\n"
        "void main() { gl_Position = vec4(0.0); }\n"
        "#endif\n"
        "#ifdef FRAGMENT_SHADER\n"
        "out vec4 color;\n"
        "void main() { color = vec4(1.0); }\n"
        "#endif\n";
    RecordingLog log;
    ASSERT_NE(keep(build_program(kPlainProgram, false)), 0u) << log.joined();
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ(log.lines.back(), "active Uniform Block:0");
    EXPECT_EQ(log.count_prefix("active Attribute:0"), 1);
}

TEST_F(ProgramBuilder, GeometryStageIsBuiltWhenAskedFor) {
    static const char kWithGeometry[] =
        "#ifdef VERTEX_SHADER\n"
        "void main() { gl_Position = vec4(0.0); }\n"
        "#endif\n"
        "#ifdef GEOMETRY_SHADER\n"
        "layout(points) in;\n"
        "layout(points, max_vertices = 1) out;\n"
        "void main() { gl_Position = gl_in[0].gl_Position; EmitVertex(); }\n"
        "#endif\n"
        "#ifdef FRAGMENT_SHADER\n"
        "out vec4 color;\n"
        "void main() { color = vec4(1.0); }\n"
        "#endif\n";
    RecordingLog log;
    const GLuint program = keep(build_program(kWithGeometry, true));
    ASSERT_NE(program, 0u) << log.joined();
    GLint shaders = 0;
    glGetProgramiv(program, GL_ATTACHED_SHADERS, &shaders);
    EXPECT_EQ(shaders, 3);
}

TEST_F(ProgramBuilder, UnlinkedProgramWithoutInfoLogSaysSo) {
    RecordingLog log;
    const GLuint program = glCreateProgram();
    EXPECT_EQ(check_link_and_report(program), 0);
    glDeleteProgram(program);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "Linking Error:\n(no info log)");
}
