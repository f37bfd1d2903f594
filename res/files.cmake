# The files that live beside Tavrel.exe: the title picture, the licence texts,
# the compiled help and the readme. Included from cmake/Windows.cmake; all of them are
# made by the default build so the bin folder is complete.
set(tavrel_res ${CMAKE_SOURCE_DIR}/res)
set(tavrel_convert ${tavrel_res}/convert_text.cmake)
set(tavrel_files)

add_custom_command(
  OUTPUT ${TAVREL_BIN_DIR}/title.gif
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVREL_BIN_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${tavrel_res}/title.gif ${TAVREL_BIN_DIR}/title.gif
  DEPENDS ${tavrel_res}/title.gif
  COMMENT "Copying title.gif")
list(APPEND tavrel_files ${TAVREL_BIN_DIR}/title.gif)

# The GPL as Debian ships it; not kept in the repository.
set(tavrel_gpl_text /usr/share/common-licenses/GPL-2)
if(EXISTS ${tavrel_gpl_text})
  add_custom_command(
    OUTPUT ${TAVREL_BIN_DIR}/gnu.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVREL_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${tavrel_gpl_text} -DOUTPUT=${TAVREL_BIN_DIR}/gnu.txt
            -DCRLF=ON -P ${tavrel_convert}
    DEPENDS ${tavrel_gpl_text} ${tavrel_convert}
    COMMENT "Writing gnu.txt")
  list(APPEND tavrel_files ${TAVREL_BIN_DIR}/gnu.txt)
else()
  message(WARNING "${tavrel_gpl_text} not found: gnu.txt is not made")
endif()

find_program(TAVREL_ICONV iconv)
if(TAVREL_ICONV)
  add_custom_command(
    OUTPUT ${TAVREL_BIN_DIR}/gnu-j.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVREL_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${tavrel_res}/gnu-j.txt -DOUTPUT=${TAVREL_BIN_DIR}/gnu-j.txt
            -DCRLF=ON -DCHARSET=CP932 -P ${tavrel_convert}
    DEPENDS ${tavrel_res}/gnu-j.txt ${tavrel_convert}
    COMMENT "Writing gnu-j.txt")
  list(APPEND tavrel_files ${TAVREL_BIN_DIR}/gnu-j.txt)
  # The release's readme, for a Japanese Windows user: CP932 with CRLF.
  add_custom_command(
    OUTPUT ${TAVREL_BIN_DIR}/readme.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVREL_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${tavrel_res}/readme.txt -DOUTPUT=${TAVREL_BIN_DIR}/readme.txt
            -DCRLF=ON -DCHARSET=CP932 -P ${tavrel_convert}
    DEPENDS ${tavrel_res}/readme.txt ${tavrel_convert}
    COMMENT "Writing readme.txt")
  list(APPEND tavrel_files ${TAVREL_BIN_DIR}/readme.txt)
else()
  message(WARNING "iconv not found: gnu-j.txt, readme.txt and Tavrel.chm are not made")
endif()

# Help: the UTF-8 sources become CP932 pages in a staging folder, which the
# CHM compiler turns into Tavrel.chm. The project asks for the index as the
# sitemap only: chmcmd's binary index has two bytes it never writes, so the
# file would differ from build to build (scripts/release.sh clears the times).
find_program(TAVREL_CHMCMD chmcmd)
if(TAVREL_CHMCMD AND TAVREL_ICONV)
  set(help_stage ${CMAKE_BINARY_DIR}/help)
  file(GLOB help_sources CONFIGURE_DEPENDS
       ${tavrel_res}/help/*.html ${tavrel_res}/help/*.hhc ${tavrel_res}/help/*.hhk
       ${tavrel_res}/help/*.hhp)
  set(help_staged)
  foreach(source IN LISTS help_sources)
    get_filename_component(name ${source} NAME)
    add_custom_command(
      OUTPUT ${help_stage}/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${help_stage}
      COMMAND ${CMAKE_COMMAND} -DINPUT=${source} -DOUTPUT=${help_stage}/${name}
              -DCRLF=ON -DHTML=ON -DCHARSET=CP932 -P ${tavrel_convert}
      DEPENDS ${source} ${tavrel_convert}
      COMMENT "Converting help page ${name}")
    list(APPEND help_staged ${help_stage}/${name})
  endforeach()
  add_custom_command(
    OUTPUT ${TAVREL_BIN_DIR}/Tavrel.chm
    COMMAND ${CMAKE_COMMAND} -E remove -f ${help_stage}/Tavrel.chm
    COMMAND ${TAVREL_CHMCMD} tavrel.hhp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TAVREL_BIN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${help_stage}/Tavrel.chm ${TAVREL_BIN_DIR}/Tavrel.chm
    WORKING_DIRECTORY ${help_stage}
    DEPENDS ${help_staged}
    COMMENT "Compiling Tavrel.chm")
  list(APPEND tavrel_files ${TAVREL_BIN_DIR}/Tavrel.chm)
else()
  message(WARNING "chmcmd (fp-utils) not found: Tavrel.chm is not made")
endif()

add_custom_target(tavrel_files ALL DEPENDS ${tavrel_files})
