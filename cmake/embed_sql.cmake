# Turns the schema's SQL files into one C++ source, so a built binary can create a database anywhere.
# Inputs: OUT (generated .cpp), FILES (list of .sql paths, in order).
set(body "// Generated from src/db/schema; edit the .sql files instead.\n#include \"db/schema_files.h\"\n\nnamespace mz {\n\nconst std::vector<SchemaFile>& SchemaFiles() {\n    static const std::vector<SchemaFile> files = {\n")
foreach(f IN LISTS FILES)
  file(READ "${f}" text)
  get_filename_component(name "${f}" NAME)
  string(APPEND body "        {\"${name}\", R\"mzsql(${text})mzsql\"},\n")
endforeach()
string(APPEND body "    };\n    return files;\n}\n\n}  // namespace mz\n")
file(WRITE "${OUT}.tmp" "${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
