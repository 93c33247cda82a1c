@echo off
rem Registers erpsync-cli with the Windows Task Scheduler: one auto-sync pass every two minutes, as the
rem SYSTEM account, whether or not anyone is logged on. The program folder is this folder: its
rem Resources\ holds the settings, the daily logs are written beside it. A pass still running when the
rem next one is due is left alone (the scheduler starts no second copy).
rem Remove the task with: schtasks /Delete /TN erpsync /F
schtasks /Create /F /TN "erpsync" /SC MINUTE /MO 2 /RU SYSTEM /TR "\"%~dp0erpsync-cli.exe\" run --yes --passes 1"
