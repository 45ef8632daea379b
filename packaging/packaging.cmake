# Desktop integration and the Debian package: menu entries, icons made by
# make_icons.sh, the manual pages, and CPack's .deb of the install tree.
set(SQ_PACKAGING_SRC ${CMAKE_SOURCE_DIR}/packaging)
set(SQ_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
# The compressed files land here; the icon script may not have made it yet.
file(MAKE_DIRECTORY ${SQ_PACKAGING_OUT})
set(SQ_PROGRAMS squeakling gridcraft)
set(SQ_ICON_SIZES 48 128)

set(icon_files "")
foreach(size ${SQ_ICON_SIZES})
  foreach(prog ${SQ_PROGRAMS})
    list(APPEND icon_files ${SQ_PACKAGING_OUT}/icons/${size}x${size}/${prog}.png)
  endforeach()
endforeach()
add_custom_command(OUTPUT ${icon_files}
  COMMAND bash ${SQ_PACKAGING_SRC}/make_icons.sh ${SQ_PACKAGING_OUT}/icons ${SQ_ICON_SIZES}
  DEPENDS ${SQ_PACKAGING_SRC}/make_icons.sh
  COMMENT "Making the program icons"
  VERBATIM)

# Manual pages and the changelog are installed compressed, without a time
# stamp in the gzip header so that the same sources give the same package.
set(gz_files "")
foreach(src ${SQ_PROGRAMS} changelog)
  if(src STREQUAL changelog)
    set(in ${SQ_PACKAGING_SRC}/changelog)
    set(out ${SQ_PACKAGING_OUT}/changelog.gz)
  else()
    set(in ${SQ_PACKAGING_SRC}/${src}.6)
    set(out ${SQ_PACKAGING_OUT}/${src}.6.gz)
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${in} ${out}
    DEPENDS ${in}
    VERBATIM)
  list(APPEND gz_files ${out})
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${icon_files} ${gz_files})

foreach(prog ${SQ_PROGRAMS})
  install(FILES ${SQ_PACKAGING_SRC}/${prog}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${SQ_PACKAGING_OUT}/${prog}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
  foreach(size ${SQ_ICON_SIZES})
    install(FILES ${SQ_PACKAGING_OUT}/icons/${size}x${size}/${prog}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
endforeach()
install(FILES ${SQ_PACKAGING_SRC}/copyright ${SQ_PACKAGING_OUT}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/squeakling)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME squeakling)
set(CPACK_PACKAGE_VENDOR "Squeakling developers")
set(CPACK_PACKAGE_CONTACT "Squeakling developers <squeakling@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (GL, GLU, freeglut, C++ runtime) come from
# dpkg-shlibdeps; the music decoder and the sound library are added by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "mpg123, libasound2")
# The scalable serif the overlay's text uses at window sizes other than
# 1200 x 600; without it the text keeps its small bitmap font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation | fonts-urw-base35")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "3D maze arcade game with a mouse, cheese and a cat
A mouse runs through a 30 x 30 maze eating cheese while a cat roams, seen
from a first-person, chase or overhead camera on a mirror floor under
spotlights, with planar shadows, a heads-up display, a control panel,
sound effects and music. The package also holds gridcraft, the level
editor that makes the level sets the game plays.")
include(CPack)
