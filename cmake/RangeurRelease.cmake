# The date of the release that PROJECT_VERSION names: the metainfo and the package changelog
# show it. Bump the two together.
set(RANGEUR_RELEASE_DATE 2026-12-10)
