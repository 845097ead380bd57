# What `cmake --install` puts in place for a front end: the shared library mzreportbus, the public
# headers under include/mzreportbus (included as "receipts/receipt_data.h"), the CMake package
# MZReportBus (find_package(MZReportBus) gives the target MZReportBus::mzreportbus), a pkg-config
# file mzreportbus.pc, and the mzreport command.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The headers a front end includes: the platform types (Variant, Currency, Date, Error,
# ResultSet), DbConnect with its settings and the observer seam, the names component, the record
# core and every record class, the object model, the history tools, the report check and the
# printed report (where those layers exist). The backends, the translator, the schema, the
# list-query pieces, the registrations and the printed report's drawing stay private: no
# <sqlite3.h>, libpq, Cairo or Pango header is reached from these.
set(MZ_PUBLIC_HEADER_DIRS
    platform names core lists report receipts expenditures committee history check print)
set(MZ_PUBLIC_HEADERS db/db_connect.h db/backend.h db/db_observer.h automation/object_model.h)
set(MZ_PRIVATE_HEADERS core/list_query.h print/text_setter.h)
foreach(dir IN LISTS MZ_PUBLIC_HEADER_DIRS)
  file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR}/src CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
  list(APPEND MZ_PUBLIC_HEADERS ${headers})
endforeach()
list(REMOVE_ITEM MZ_PUBLIC_HEADERS ${MZ_PRIVATE_HEADERS})
foreach(header IN LISTS MZ_PUBLIC_HEADERS)
  get_filename_component(dir ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/src/${header}
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mzreportbus/${dir})
endforeach()

install(TARGETS mz_shared EXPORT MZReportBusTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/mzreportbus)
install(TARGETS mzreport RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(MZ_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/MZReportBus)
install(EXPORT MZReportBusTargets NAMESPACE MZReportBus:: DESTINATION ${MZ_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/MZReportBusConfig.cmake.in
  ${PROJECT_BINARY_DIR}/MZReportBusConfig.cmake INSTALL_DESTINATION ${MZ_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/MZReportBusConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/MZReportBusConfig.cmake
              ${PROJECT_BINARY_DIR}/MZReportBusConfigVersion.cmake
        DESTINATION ${MZ_CMAKE_DIR})

# The .pc file finds its prefix from where it is installed, so --prefix at install time works.
file(RELATIVE_PATH MZ_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${PROJECT_SOURCE_DIR}/cmake/mzreportbus.pc.in ${PROJECT_BINARY_DIR}/mzreportbus.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/mzreportbus.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
