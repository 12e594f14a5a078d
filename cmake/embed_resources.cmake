# zum32_embed_resources(<target> <script.rc>): compiles the script at build time with zum32rc (our
# own target, or the host tools' program in a cross build) and adds the generated table to the
# target. zum32rc writes a depfile naming the script's headers and every file it embeds, so
# changing any of them rebuilds the table.
function(zum32_embed_resources target script)
  get_filename_component(script_path ${script} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  get_filename_component(script_name ${script} NAME_WE)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${script_name}_resources.cpp)
  set(depfile ${CMAKE_CURRENT_BINARY_DIR}/${script_name}_resources.d)
  add_custom_command(
    OUTPUT ${output}
    COMMAND zum32rc ${script_path} ${output} --depfile ${depfile}
    DEPENDS zum32rc ${script_path}
    DEPFILE ${depfile}
    COMMENT "Compiling resource script ${script_name}.rc"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
