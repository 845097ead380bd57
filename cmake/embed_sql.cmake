# Turns the schema's SQL files and the lookup tables' seed rows into one C++ source, so a built
# binary can create a database anywhere.
# Inputs: OUT (generated .cpp), FILES (list of .sql paths, in order), SEEDS (list of .csv paths),
# RULES (the report check's rule files).
cmake_minimum_required(VERSION 3.20)
set(body "// Generated from src/db/schema and src/db/seed; edit those files instead.\n#include \"db/schema_files.h\"\n\nnamespace mz {\n")
set(FILES_function SchemaFiles)
set(SEEDS_function SeedFiles)
set(RULES_function CheckRuleFiles)
foreach(kind IN ITEMS FILES SEEDS RULES)
  string(APPEND body "\nconst std::vector<SchemaFile>& ${${kind}_function}();\n")
  string(APPEND body "const std::vector<SchemaFile>& ${${kind}_function}() {\n")
  string(APPEND body "    static const std::vector<SchemaFile> files = {\n")
  foreach(f IN LISTS ${kind})
    file(READ "${f}" text)
    get_filename_component(name "${f}" NAME)
    # A seed file is "<table>.csv", or names its table on a first line "# table <name>".
    if(kind STREQUAL "SEEDS" AND text MATCHES "^# table ([A-Za-z0-9_]+)\r?\n")
      set(name "${CMAKE_MATCH_1}.csv")
      string(REGEX REPLACE "^# table [A-Za-z0-9_]+\r?\n" "" text "${text}")
    endif()
    string(APPEND body "        {\"${name}\", R\"mzsql(${text})mzsql\"},\n")
  endforeach()
  string(APPEND body "    };\n    return files;\n}\n")
endforeach()
string(APPEND body "\n}  // namespace mz\n")
file(WRITE "${OUT}.tmp" "${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
