-- Update Database run a second time: every change is already in place, so most statements fail
-- harmlessly, with the wording the upgrade ignores. The statements are those of the first run; each
-- batch's "rerun-expect-error" line says how it fails on the second run (none: it succeeds again).
-- prepare: upgrade
-- rerun-of: schema_upgrade.sql
GO
